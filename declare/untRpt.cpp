// SPDX-License-Identifier: GPL-3.0-or-later
#include "untRpt.h"

#include "FilingRecord.h"
#include "FormNotices.h"
#include "FormValues.h"
#include "MessageBoxes.h"
#include "TCell.h"
#include "UserInteraction.h"
#include "untDm.h"
#include "untMbksRpt.h"
#include "untProcess.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "Clock.h"

namespace lw {

namespace {
const QString kSaving = QStringLiteral("正在保存数据，请稍侯...");

TfrmRpt::FilingProcedure &uploadProcedure()
{
    static TfrmRpt::FilingProcedure procedure;
    return procedure;
}

TfrmRpt::FilingProcedure &filesProcedure()
{
    static TfrmRpt::FilingProcedure procedure;
    return procedure;
}
} // namespace

void TfrmRpt::SetFilingProcedures(FilingProcedure upload, FilingProcedure files)
{
    uploadProcedure() = std::move(upload);
    filesProcedure() = std::move(files);
}

void TfrmRpt::ToolButton1Click()
{
    if (filesProcedure())
        filesProcedure()(*this);
}

void TfrmRpt::ToolButton2Click()
{
    if (uploadProcedure())
        uploadProcedure()(*this);
}

TfrmRpt::TfrmRpt(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRpt"));
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowState(Qt::WindowMaximized);
    resize(1100, 720);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolbar();
    buildPeriodStrip();

    CellInfo = new TCell(this);
    CellInfo->setObjectName(QStringLiteral("CellInfo"));
    CellInfo->setInteraction(&UserInteraction::current());
    layout->addWidget(CellInfo, 1);
    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    m_regimeNotice = new QLabel(status);
    m_regimeNotice->setObjectName(QStringLiteral("lblRegime"));
    m_shareNotice = new QLabel(status);
    m_shareNotice->setObjectName(QStringLiteral("lblShares"));
    status->addWidget(m_regimeNotice);
    status->addWidget(m_shareNotice);
    m_filingNotice = new QLabel(status);
    m_filingNotice->setObjectName(QStringLiteral("lblFiling"));
    status->addPermanentWidget(m_filingNotice);
    layout->addWidget(status);
    connect(qsrqDateEdit, &QLineEdit::textChanged, this, &TfrmRpt::updateRegimeNotice);
    connect(zzrqDateEdit, &QLineEdit::textChanged, this, &TfrmRpt::updateRegimeNotice);
    connect(qsrqDateEdit, &QLineEdit::textChanged, this, &TfrmRpt::updateFilingNotice);
    connect(zzrqDateEdit, &QLineEdit::textChanged, this, &TfrmRpt::updateFilingNotice);

    connect(CellInfo, &TCell::OnAllowEditCell, this,
            [this](TCell *, int col, int row, int &approve) { CellInfoAllowEditCell(col, row, approve); });
    connect(CellInfo, &TCell::OnEditFinish, this,
            [this](TCell *, QString &text, int &approve) { CellInfoEditFinish(text, approve); });
    connect(CellInfo, &TCell::OnSheetChanged, this,
            [this](TCell *, int oldSheet, int newSheet) { CellInfoSheetChanged(oldSheet, newSheet); });

    // FormCreate: the control's interface language; a failure changes nothing.
    CellInfo->SetUiLanguage(2052);
}

void TfrmRpt::buildToolbar()
{
    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const struct
    {
        const char *name;
        QString caption;
        void (TfrmRpt::*handler)();
    } buttons[] = {
        {"TeSpBtnInport", QStringLiteral("加载&I"), &TfrmRpt::TeSpBtnInportClick},
        {"TeSpBtnModify", QStringLiteral("选择人员&M"), &TfrmRpt::TeSpBtnModifyClick},
        {"ToolButton3", QStringLiteral("删除"), &TfrmRpt::ToolButton3Click},
        {"TeSpBtnSetup", QStringLiteral("保存&S"), &TfrmRpt::TeSpBtnSetupClick},
        {"TeSpBtnSave", QStringLiteral("导出Excel"), &TfrmRpt::TeSpBtnSaveClick},
        {"TeSpBtnPrint", QStringLiteral("打印"), &TfrmRpt::TeSpBtnPrintClick},
        {"TeSpBtnPdf", QStringLiteral("导出PDF"), &TfrmRpt::TeSpBtnPdfClick},
        {"TeSpBtnExit", QStringLiteral("退出&Q"), &TfrmRpt::TeSpBtnExitClick},
        {"ToolButton2", QStringLiteral("上传电子数据"), &TfrmRpt::ToolButton2Click},
        {"ToolButton1", QStringLiteral("生成文件&U"), &TfrmRpt::ToolButton1Click},
    };
    for (const auto &b : buttons) {
        auto *tb = new QToolButton(bar);
        tb->setObjectName(QLatin1String(b.name));
        tb->setText(b.caption);
        tb->setAutoRaise(true);
        QAction *action = bar->addWidget(tb);
        action->setObjectName(QLatin1String(b.name) + QStringLiteral("Action"));
        connect(tb, &QToolButton::clicked, this, [this, h = b.handler] { RunGuarded([this, h] { (this->*h)(); }); });
    }
    setButtonVisible("TeSpBtnModify", false);
    setButtonVisible("ToolButton1", false);
    static_cast<QVBoxLayout *>(layout())->addWidget(bar);
}

void TfrmRpt::buildPeriodStrip()
{
    auto *strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("Panel1"));
    strip->setAutoFillBackground(true);
    QPalette pal = strip->palette();
    pal.setColor(QPalette::Window, Qt::white);
    strip->setPalette(pal);
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(8, 4, 8, 4);
    m_periodLabel = new QLabel(QStringLiteral("税款所属期 "), strip);
    m_periodLabel->setObjectName(QStringLiteral("Label1"));
    auto dateField = [strip](const char *name) {
        auto *edit = new QLineEdit(strip);
        edit->setObjectName(QLatin1String(name));
        edit->setPlaceholderText(QStringLiteral("yyyy-mm-dd"));
        edit->setMaxLength(10);
        edit->setFixedWidth(110);
        return edit;
    };
    qsrqDateEdit = dateField("qsrqDateEdit");
    zzrqDateEdit = dateField("zzrqDateEdit");
    zzrqDateEdit->installEventFilter(this);
    Button1 = new QPushButton(QStringLiteral("填表说明"), strip);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("弥补亏损台账"), strip);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->hide();
    connect(Button1, &QPushButton::clicked, this, [this] { RunGuarded([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { RunGuarded([this] { Button2Click(); }); });
    row->addWidget(m_periodLabel);
    row->addWidget(qsrqDateEdit);
    row->addWidget(new QLabel(QStringLiteral("至"), strip));
    row->addWidget(zzrqDateEdit);
    row->addSpacing(16);
    row->addWidget(Button1);
    row->addWidget(Button2);
    row->addStretch();
    static_cast<QVBoxLayout *>(layout())->addWidget(strip);
}

QToolButton *TfrmRpt::button(const char *name) const
{
    return findChild<QToolButton *>(QLatin1String(name));
}

// A widget on a tool bar is shown and hidden through its action.
void TfrmRpt::setButtonVisible(const char *name, bool visible)
{
    findChild<QAction *>(QLatin1String(name) + QStringLiteral("Action"))->setVisible(visible);
}

bool TfrmRpt::buttonVisible(const char *name) const
{
    return findChild<QAction *>(QLatin1String(name) + QStringLiteral("Action"))->isVisible();
}

ReportKindInfo TfrmRpt::kindInfo() const
{
    return KindInfo(ReportKind, dm()->CollectionMethodCode);
}

bool TfrmRpt::auditAnnual() const
{
    return ReportKind == 4 && IsAuditBased(dm()->CollectionMethodCode);
}

void TfrmRpt::setPeriod(const QString &qsrq, const QString &zzrq)
{
    qsrqDateEdit->setText(qsrq);
    zzrqDateEdit->setText(zzrq);
}

bool TfrmRpt::periodStrings(QString &qsrq, QString &zzrq) const
{
    const QDate start = ParsePeriodText(qsrqDateEdit->text());
    const QDate end = ParsePeriodText(zzrqDateEdit->text());
    if (!start.isValid() || !end.isValid()) {
        ErrorBox(QStringLiteral("请正确填写所属期的起止日期（格式：年-月-日，如2011-01-01）！"));
        return false;
    }
    qsrq = PeriodText(start);
    zzrq = PeriodText(end);
    return true;
}

void TfrmRpt::openTemplate()
{
    CellInfo->OpenWorkbook(dm()->AppPath + kindInfo().templateFile, QString());
}

void TfrmRpt::markNotApplicable(int col, int row)
{
    CellInfo->WriteCellMark(col, row, 0, NotApplicableMark);
}

void TfrmRpt::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown)
        RunGuarded([this] { FormShow(); });
}

void TfrmRpt::FormShow()
{
    m_shown = true;
    Saved = true;
    auto readEnterprise = [] {
        auto &q = dm()->adoQry1;
        q.select(QStringLiteral("select * from psn"));
        dm()->CollectionMethodCode = q.IsEmpty() ? QString() : q.text(QStringLiteral("zsfs_dm"));
        return q.IsEmpty() ? QString() : q.text(QStringLiteral("sbqxr_dm"));
    };
    const QDate today = Clock::today();
    auto propose = [this, &today](const QString &sbqxr) {
        const Period p = ProposePeriod(ReportKind, sbqxr, today);
        setPeriod(PeriodText(p.start), PeriodText(p.end));
    };
    switch (ReportKind) {
    case 1: {
        KeptSbqxrDm = readEnterprise();
        setWindowTitle(kindInfo().caption);
        openTemplate();
        const QString code = dm()->CollectionMethodCode;
        if (code == QLatin1String("10"))
            markNotApplicable(4, 12);
        else if (code == QLatin1String("20"))
            markNotApplicable(4, 9);
        else if (code == QLatin1String("22"))
            markNotApplicable(4, 8);
        propose(KeptSbqxrDm);
        setButtonVisible("ToolButton1", true);
        break;
    }
    case 2:
        setWindowTitle(kindInfo().caption);
        m_periodLabel->setText(QStringLiteral("清算所属期"));
        propose(QString());
        openTemplate();
        break;
    case 3:
        setButtonVisible("TeSpBtnModify", true);
        setButtonVisible("TeSpBtnInport", false);
        setWindowTitle(kindInfo().caption);
        propose(QString());
        openTemplate();
        setButtonVisible("ToolButton1", true);
        break;
    case 4: {
        propose(QString());
        readEnterprise();
        setWindowTitle(kindInfo().caption);
        openTemplate();
        const QString code = dm()->CollectionMethodCode;
        if (IsAuditBased(code)) {
            setButtonVisible("ToolButton1", true);
        } else if (code == QLatin1String("20")) {
            markNotApplicable(4, 10);
        } else if (code == QLatin1String("22")) {
            markNotApplicable(4, 8);
            markNotApplicable(4, 9);
        }
        break;
    }
    case 5:
        setButtonVisible("TeSpBtnModify", false);
        setButtonVisible("TeSpBtnInport", true);
        setWindowTitle(kindInfo().caption);
        propose(QString());
        openTemplate();
        break;
    default:
        break;
    }
    updateRegimeNotice();
    updateFilingNotice();
}

void TfrmRpt::ShowStoredValues()
{
    QString qsrq, zzrq;
    if (periodStrings(qsrq, zzrq))
        FormValues(kindInfo().workingTable, qsrq, zzrq).ShowStoredValues(*CellInfo);
}

void TfrmRpt::SaveValues()
{
    QString qsrq, zzrq;
    if (periodStrings(qsrq, zzrq))
        FormValues(kindInfo().workingTable, qsrq, zzrq).SaveValues(*CellInfo, auditAnnual());
}

bool TfrmRpt::formLoaded() const
{
    const ReportKindInfo info = kindInfo();
    return !CellInfo->ReadCellText(info.loadedCheckCol, info.loadedCheckRow, 0).isEmpty();
}

void TfrmRpt::TeSpBtnSetupClick()
{
    if (!formLoaded())
        return;
    {
        ProgressScope progress(kSaving);
        SaveValues();
        Saved = true;
    }
    updateShareNotice();
}

void TfrmRpt::updateRegimeNotice()
{
    const QString text = ReportKind >= 1 && ReportKind <= 4
        ? RegimeNotice(ParsePeriodText(qsrqDateEdit->text()), ParsePeriodText(zzrqDateEdit->text()))
        : QString();
    m_regimeNotice->setText(text);
}

void TfrmRpt::updateFilingNotice()
{
    if (!m_shown || !dm() || !dm()->connected())
        return;
    const QDate start = ParsePeriodText(qsrqDateEdit->text());
    const QDate end = ParsePeriodText(zzrqDateEdit->text());
    QString text;
    if (start.isValid() && end.isValid()) {
        const QString when = LastAcceptedUpload({ReportKind, kindInfo().caption, PeriodText(start), PeriodText(end)});
        text = when.isEmpty() ? QStringLiteral("本期尚无上传成功的记录") : QStringLiteral("本期已于 %1 上传成功").arg(when);
    }
    m_filingNotice->setText(text);
}

void TfrmRpt::updateShareNotice()
{
    QString text;
    if (ReportKind == 1 || ReportKind == 2 || ReportKind == 4) {
        const int first = auditAnnual() ? 5 : 4;
        text = ShareNotice(InvestorShareSum(*CellInfo, first, first + 49));
    }
    m_shareNotice->setText(text);
}

void TfrmRpt::ToolButton3Click()
{
    if (AskBox(QStringLiteral("是否确定删除全部数据？"), 2) != IdYes)
        return;
    QString qsrq, zzrq;
    if (!periodStrings(qsrq, zzrq))
        return;
    FormValues(kindInfo().workingTable, qsrq, zzrq).deletePeriod();
    CellInfo->ClearWorkbook();
    openTemplate();
    Saved = true;
    m_shareNotice->clear();
}

void TfrmRpt::TeSpBtnSaveClick()
{
    CellInfo->ExportToExcel();
}

void TfrmRpt::TeSpBtnExitClick()
{
    close();
}

void TfrmRpt::Button1Click()
{
    const QString help = kindInfo().helpFile;
    if (!help.isEmpty())
        UserInteraction::current().openUrl(QUrl::fromLocalFile(dm()->AppPath + help));
}

void TfrmRpt::Button2Click()
{
    TfrmMbksRpt ledger(this);
    ledger.TaxCode = CellInfo->ReadCellText(5, 4, 0);
    ledger.StartDate = CellInfo->ReadCellText(2, 2, 0);
    ledger.EndDate = CellInfo->ReadCellText(4, 2, 0);
    ledger.exec();
    if (ledger.Saved)
        return;
    // The stored ledger (not the unsaved edits) goes into the loss sheet of the annual form.
    auto &q = dm()->adoQry1;
    q.select(QStringLiteral("select * from wa_mbksmxsheet where swglm=") + QuotedStr(ledger.TaxCode)
             + QStringLiteral(" and qsrq=") + QuotedStr(ledger.StartDate) + QStringLiteral(" and zzrq=")
             + QuotedStr(ledger.EndDate) + QStringLiteral(" order by nd"));
    int k = 0;
    for (q.First(); !q.Eof(); q.Next(), ++k) {
        auto number = [&q](const char *field) { return q.FieldByName(QLatin1String(field)).toDouble(); };
        CellInfo->WriteCellNumber(4, 7 + k, 3, number("qysbks_je"));
        CellInfo->WriteCellNumber(5, 7 + k, 3, number("kmbks_je"));
        CellInfo->WriteCellNumber(16 + k, 10 + k, 3, number("ks1_je"));
        CellInfo->WriteCellNumber(17 + k, 10 + k, 3, number("ks2_je"));
        CellInfo->WriteCellNumber(18 + k, 10 + k, 3, number("ks3_je"));
        CellInfo->WriteCellNumber(19 + k, 10 + k, 3, number("ks4_je"));
    }
}

void TfrmRpt::updateLedgerButton()
{
    Button2->setVisible(auditAnnual() && CellInfo->ActiveSheetIndex() == 3
                        && !CellInfo->ReadCellText(2, 2, 0).isEmpty());
}

void TfrmRpt::CellInfoAllowEditCell(int col, int row, int &)
{
    EditCol = col;
    EditRow = row;
}

void TfrmRpt::CellInfoEditFinish(QString &text, int &approve)
{
    // The investor deduction: whole months of 3500, at most twelve.
    if (EditCol == 8 && IsAuditBased(dm()->CollectionMethodCode) && CellInfo->ActiveSheetIndex() == 1) {
        QString entry = text.trimmed();
        entry.remove(QLatin1Char(','));
        bool ok = true;
        const qlonglong n = entry.isEmpty() ? 0 : entry.toLongLong(&ok);
        if (!ok || n % 3500 != 0 || n / 3500 > 12) {
            approve = 0;
            ErrorBox(QStringLiteral("填写错误，只能是3500的倍数，并且不能大于3500*12！"));
        }
    }
    Saved = false;
}

void TfrmRpt::CellInfoSheetChanged(int, int)
{
    updateLedgerButton();
}

bool TfrmRpt::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == zzrqDateEdit && event->type() == QEvent::KeyPress) {
        const QDate start = ParsePeriodText(qsrqDateEdit->text());
        const QDate end = ParsePeriodText(zzrqDateEdit->text());
        if (start.isValid() && end.isValid() && start > end)
            InfoBox(QStringLiteral("止日期不能小于起始日期！"));
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmRpt::done(int result)
{
    // Every way of closing ends here. It never asks and never refuses: unsaved edits are saved.
    if (!Saved) {
        ProgressScope progress(kSaving);
        RunGuarded([this] { SaveValues(); });
        Saved = true;
    }
    QDialog::done(result);
}

} // namespace lw
