// SPDX-License-Identifier: GPL-3.0-or-later
#include "TCell.h"
#include "GridView.h"

#include "CellFormat.h"
#include "UserInteraction.h"
#include "Workbook.h"
#include "XlsxReader.h"
#include "XlsxWriter.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTabBar>
#include <QVBoxLayout>

#include <optional>

namespace lw {

TCell::TCell(QWidget *parent) : QWidget(parent), m_book(std::make_unique<Workbook>())
{
    setObjectName(QStringLiteral("CellInfo"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_grid = new GridView(this, this);
    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("sheetTabs"));
    m_tabs->setShape(QTabBar::RoundedSouth);
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(false);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_tabs);
    connect(m_tabs, &QTabBar::currentChanged, this, &TCell::tabChanged);
    setFocusProxy(m_grid);
}

TCell::~TCell() = default;

int TCell::OpenWorkbook(const QString &path, const QString &)
{
    cancelEdit();
    m_error.clear();
    // Templates named after the original control's format (".cll") are kept as .xlsx.
    QString file = path;
    if (!QFileInfo::exists(file) && file.endsWith(QLatin1String(".cll"), Qt::CaseInsensitive))
        file = file.left(file.size() - 4) + QStringLiteral(".xlsx");
    const bool ok = readXlsxFile(file, *m_book, &m_error);
    if (ok)
        m_book->recalculate();
    m_activeSheet = 0;
    rebuildTabs();
    m_grid->setSheet(m_book.get(), m_book->sheetCount() > 0 ? 0 : -1);
    if (!ok) {
        showMessage(QStringLiteral("无法打开表格模板“%1”：%2").arg(path, m_error));
        return -1;
    }
    return 0;
}

QString TCell::ReadCellText(int col, int row, int sheet)
{
    return m_book->readText(col, row, sheet);
}

double TCell::ReadCellNumber(int col, int row, int sheet)
{
    return m_book->readNumber(col, row, sheet);
}

void TCell::WriteCellText(int col, int row, int sheet, const QString &text)
{
    m_book->writeText(col, row, sheet, text);
    if (sheet == m_activeSheet)
        m_grid->noteCell(col, row);
}

void TCell::WriteCellNumber(int col, int row, int sheet, double value)
{
    m_book->writeNumber(col, row, sheet, value);
    if (sheet == m_activeSheet)
        m_grid->noteCell(col, row);
}

int TCell::ReadCellMark(int col, int row, int sheet)
{
    return m_book->readMark(col, row, sheet);
}

void TCell::WriteCellMark(int col, int row, int sheet, int mark)
{
    m_book->writeMark(col, row, sheet, mark);
    if (sheet == m_activeSheet)
        m_grid->noteCell(col, row);
}

int TCell::ActiveSheetIndex()
{
    return m_activeSheet;
}

void TCell::RecalculateWorkbook()
{
    m_book->recalculate();
    m_grid->viewport()->update();
}

void TCell::ClearWorkbook()
{
    cancelEdit();
    m_book->clear();
    m_activeSheet = 0;
    rebuildTabs();
    m_grid->setSheet(m_book.get(), -1);
}

int TCell::ExportToExcel()
{
    CommitPendingEdit();
    const QString caption = QStringLiteral("导出Excel");
    const QString filter = QStringLiteral("Excel(*.xlsx)");
    QString name = m_ui ? m_ui->saveFileName(caption, QString(), filter)
                        : QFileDialog::getSaveFileName(this, caption, QString(), filter);
    if (name.isEmpty())
        return 0;
    if (!name.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        name += QStringLiteral(".xlsx");
    QString error;
    if (!writeXlsxFile(*m_book, name, &error)) {
        m_error = error;
        showMessage(error);
        return 0;
    }
    return 1;
}

void TCell::CommitPendingEdit()
{
    if (!isEditing())
        return;
    // The caller needs the grid at rest: an entry the cell refuses is abandoned, after the message.
    if (refuseEntry(m_editor->text())) {
        cancelEdit();
        return;
    }
    commitEdit();
}

bool TCell::SetUiLanguage(int lcid)
{
    // Simplified Chinese is the language of every text shown; English is accepted as well.
    if (lcid != 2052 && lcid != 1033)
        return false;
    m_language = lcid;
    return true;
}

int TCell::sheetCount() const
{
    return m_book->sheetCount();
}

void TCell::setActiveSheet(int sheet)
{
    if (sheet < 0 || sheet >= m_book->sheetCount())
        return;
    m_tabs->setCurrentIndex(sheet); // raises OnSheetChanged through tabChanged
}

int TCell::currentCol() const
{
    return m_grid->currentCol();
}

int TCell::currentRow() const
{
    return m_grid->currentRow();
}

void TCell::setCurrentCell(int col, int row)
{
    CommitPendingEdit();
    m_grid->setCurrentCell(col, row);
}

void TCell::rebuildTabs()
{
    m_updatingTabs = true;
    while (m_tabs->count() > 0)
        m_tabs->removeTab(0);
    for (int i = 0; i < m_book->sheetCount(); ++i)
        m_tabs->addTab(m_book->sheet(i)->name);
    if (m_book->sheetCount() > 0)
        m_tabs->setCurrentIndex(0);
    m_updatingTabs = false;
}

void TCell::tabChanged(int index)
{
    if (m_updatingTabs || index < 0 || index == m_activeSheet)
        return;
    CommitPendingEdit();
    const int old = m_activeSheet;
    m_activeSheet = index;
    m_grid->setSheet(m_book.get(), index);
    emit OnSheetChanged(this, old, index);
}

void TCell::showMessage(const QString &text)
{
    if (m_ui)
        m_ui->message(MsgIcon::Warning, QStringLiteral("提示"), text, MsgButtons::Ok);
    else if (isVisible())
        QMessageBox::warning(this, QStringLiteral("提示"), text);
}

bool TCell::beginEdit(const QString &initial, bool replace)
{
    if (isEditing() || m_grid->sheetIndex() < 0)
        return false;
    const int col = m_grid->currentCol(), row = m_grid->currentRow(), sheet = m_grid->sheetIndex();
    if (!m_book->isInputCell(col, row, sheet))
        return false;
    int approve = 1;
    emit OnAllowEditCell(this, col, row, approve);
    if (approve == 0)
        return false;
    m_editCol = col;
    m_editRow = row;
    m_editSheet = sheet;
    m_editor = new QLineEdit(m_grid->viewport());
    m_editor->setObjectName(QStringLiteral("cellEditor"));
    m_editor->setFrame(false);
    m_editor->setGeometry(m_grid->cellRect(col, row).adjusted(2, 2, -2, -2));
    if (replace) {
        m_editor->setText(initial);
    } else {
        const Cell *c = m_book->cell(col, row, sheet);
        m_editor->setText(c && c->value.type == ValueType::Number ? formatGeneralNumber(c->value.number)
                                                                   : m_book->readText(col, row, sheet));
        m_editor->selectAll();
    }
    m_editor->installEventFilter(this);
    m_editor->show();
    m_editor->setFocus();
    return true;
}

namespace {
// A number typed with or without thousands separators, or as a percentage.
std::optional<double> typedNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d{1,3}(,\\d{3})+|\\d+)?(\\.\\d+)?(%?)$"));
    const QString t = text.trimmed();
    const QRegularExpressionMatch m = number.match(t);
    if (!m.hasMatch() || (m.capturedLength(1) == 0 && m.capturedLength(3) <= 1))
        return std::nullopt;
    QString plain = t;
    plain.remove(QLatin1Char(','));
    plain.remove(QLatin1Char('%'));
    bool ok = false;
    const double v = plain.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return m.capturedLength(4) ? v / 100 : v;
}
} // namespace

void TCell::storeInput(int col, int row, int sheet, const QString &text)
{
    if (const std::optional<double> v = typedNumber(text))
        m_book->writeNumber(col, row, sheet, *v);
    else
        m_book->writeText(col, row, sheet, text);
}

bool TCell::refuseEntry(const QString &text)
{
    // Text stored in a number cell would read as 0 once saved and shown again: the entry would
    // be lost without a word, so it is refused here.
    if (text.trimmed().isEmpty() || typedNumber(text))
        return false;
    const Cell *c = m_book->cell(m_editCol, m_editRow, m_editSheet);
    if (!c || !m_book->numberFormat(c->style).isNumeric())
        return false;
    m_refusing = true;
    showMessage(QStringLiteral("此单元格只能填写数字，请重新输入，或按Esc键恢复原值！"));
    m_refusing = false;
    return true;
}

void TCell::commitEdit()
{
    if (!m_editor || m_refusing)
        return;
    QString text = m_editor->text();
    if (refuseEntry(text)) {
        // The edit stays open for a correction; Esc restores the old value.
        if (m_editor) {
            m_editor->setFocus();
            m_editor->selectAll();
        }
        return;
    }
    // Close the editor first, so a handler that reads or writes cells sees the grid at rest.
    QLineEdit *ed = m_editor;
    m_editor = nullptr;
    ed->removeEventFilter(this);
    ed->hide();
    ed->deleteLater();
    int approve = 1;
    emit OnEditFinish(this, text, approve);
    if (approve != 0) {
        storeInput(m_editCol, m_editRow, m_editSheet, text);
        m_book->recalculate();
    }
    m_grid->setFocus();
    m_grid->viewport()->update();
}

QString TCell::shownText(int col, int row) const
{
    return m_grid->shownText(col, row);
}

void TCell::placeEditor()
{
    if (m_editor)
        m_editor->setGeometry(m_grid->cellRect(m_editCol, m_editRow).adjusted(2, 2, -2, -2));
}

void TCell::cancelEdit()
{
    if (!m_editor)
        return;
    QLineEdit *ed = m_editor;
    m_editor = nullptr;
    ed->removeEventFilter(this);
    ed->hide();
    ed->deleteLater();
    m_grid->setFocus();
}

bool TCell::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_editor && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Escape:
            cancelEdit();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Up:
        case Qt::Key_Down: {
            commitEdit();
            if (isEditing())
                return true; // refused: stay on the cell
            // Then move as the key does in the grid.
            QKeyEvent forward(QEvent::KeyPress, key->key(), key->modifiers());
            QCoreApplication::sendEvent(m_grid, &forward);
            return true;
        }
        default:
            break;
        }
    }
    if (watched == m_editor && event->type() == QEvent::FocusOut && m_editor && !m_editor->isHidden() && !m_refusing) {
        // Clicking elsewhere confirms the entry, as in a spreadsheet.
        if (QApplication::focusWidget() && QApplication::focusWidget() != m_editor)
            commitEdit();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace lw
