// SPDX-License-Identifier: GPL-3.0-or-later
// The control as the declaration windows use it: operations, events, input rules, export,
// keyboard, and its registration entries.
#include "XlsxFixture.h"

#include "Registry.h"
#include "ScriptedInteraction.h"
#include "TCell.h"
#include "Workbook.h"
#include "XlsxReader.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <dlfcn.h>

extern "C" long DllRegisterServer();
extern "C" long DllUnregisterServer();

using namespace lw;
using namespace lw::test;

namespace {
// 主表: A1 label, B2 amount input, B3 formula =B2*2, B4 input with the Mark5 style, B5 and D6
// plain inputs, C7 input marked by a defined name, A9:B10 merged; 附表: A1 =主表!B2+1.
QByteArray controlTemplate()
{
    const QByteArray main =
        "<sheetData>"
        "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>收入总额</t></is></c></row>"
        "<row r=\"2\"><c r=\"B2\" s=\"1\"><v>100</v></c></row>"
        "<row r=\"3\"><c r=\"B3\" s=\"2\"><f>B2*2</f><v>200</v></c></row>"
        "<row r=\"4\"><c r=\"B4\" s=\"3\"/></row>"
        "<row r=\"5\"><c r=\"B5\" s=\"2\"/></row>"
        "<row r=\"6\"><c r=\"D6\" s=\"2\"/></row>"
        "<row r=\"7\"><c r=\"C7\" s=\"2\"/></row>"
        "<row r=\"9\"><c r=\"A9\" s=\"2\"/></row>"
        "</sheetData><mergeCells count=\"1\"><mergeCell ref=\"A9:B10\"/></mergeCells>";
    const QByteArray second = "<sheetData><row r=\"1\"><c r=\"A1\"><f>'主表'!B2+1</f></c></row></sheetData>";
    return zipParts(workbookParts({main, second}, standardStyles(), QByteArray(),
                                  "<definedName name=\"Mark5_input\">'主表'!$C$7</definedName>",
                                  {QStringLiteral("主表"), QStringLiteral("附表")}));
}
// Also keeps the filter each save dialog offered.
class FilterRecorder : public ScriptedInteraction
{
public:
    QStringList filters;
    QString saveFileName(const QString &caption, const QString &suggested, const QString &filter) override
    {
        filters << filter;
        return ScriptedInteraction::saveFileName(caption, suggested, filter);
    }
};
} // namespace

class TestTCell : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_template;

    void open(TCell &cell)
    {
        QCOMPARE(cell.OpenWorkbook(m_template, QString()), 0);
    }

    // Edits the current cell as a user does: the editor opens, takes text and is confirmed.
    static bool typeInto(TCell &cell, int col, int row, const QString &text)
    {
        cell.setCurrentCell(col, row);
        if (!cell.beginEdit(QString(), true))
            return false;
        cell.editor()->setText(text);
        cell.commitEdit();
        return true;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_template = writeFixture(m_dir.path(), QStringLiteral("yjbb.xlsx"), controlTemplate());
    }

    void operationsReadAndWriteCells()
    {
        TCell cell;
        open(cell);
        QCOMPARE(cell.sheetCount(), 2);
        QCOMPARE(cell.ReadCellText(1, 1, 0), QStringLiteral("收入总额"));
        QCOMPARE(cell.ReadCellText(2, 2, 0), QStringLiteral("100.00"));
        QCOMPARE(cell.ReadCellText(8, 8, 0), QString());
        cell.WriteCellNumber(2, 2, 0, 1234.5);
        cell.RecalculateWorkbook();
        QCOMPARE(cell.ReadCellText(2, 2, 0), QStringLiteral("1,234.50"));
        QCOMPARE(cell.ReadCellNumber(2, 3, 0), 2469.0);
        QCOMPARE(cell.ReadCellNumber(1, 1, 1), 1235.5);
        // A value written into a formula cell stands until the next recalculation.
        cell.WriteCellNumber(2, 3, 0, 7);
        QCOMPARE(cell.ReadCellNumber(2, 3, 0), 7.0);
        cell.RecalculateWorkbook();
        QCOMPARE(cell.ReadCellNumber(2, 3, 0), 2469.0);
        cell.WriteCellText(2, 5, 0, QStringLiteral("2,000.25"));
        QCOMPARE(cell.ReadCellNumber(2, 5, 0), 2000.25);
        QCOMPARE(cell.ReadCellMark(2, 4, 0), 5);
        QCOMPARE(cell.ReadCellMark(3, 7, 0), 5);
        QCOMPARE(cell.ReadCellMark(2, 5, 0), 0);
        cell.WriteCellMark(4, 12, 0, 5);
        QCOMPARE(cell.ReadCellMark(4, 12, 0), 5);
        QVERIFY(cell.SetUiLanguage(2052));

        cell.ClearWorkbook();
        QCOMPARE(cell.sheetCount(), 0);
        QCOMPARE(cell.ReadCellText(1, 1, 0), QString());
        // A template opened again replaces everything; the original ".cll" name finds the .xlsx.
        QString cll = m_template;
        cll.replace(QStringLiteral(".xlsx"), QStringLiteral(".cll"));
        QCOMPARE(cell.OpenWorkbook(cll, QString()), 0);
        QCOMPARE(cell.ReadCellMark(4, 12, 0), 0);
        QCOMPARE(cell.ReadCellText(2, 2, 0), QStringLiteral("100.00"));
    }

    void openingABrokenTemplateReportsIt()
    {
        ScriptedInteraction ui;
        TCell cell;
        cell.setInteraction(&ui);
        const QString bad = writeFixture(m_dir.path(), QStringLiteral("bad.xlsx"), "not a zip");
        QVERIFY(cell.OpenWorkbook(bad, QString()) != 0);
        QCOMPARE(cell.sheetCount(), 0);
        QCOMPARE(ui.shown.size(), 1);
        QVERIFY(ui.shown[0].text.contains(QStringLiteral("bad.xlsx")));
    }

    // B2 shows amounts ("#,##0.00"); B5 has the General format and keeps text as typed.
    void typedInput_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain number") << 2 << "1234.5" << int(ValueType::Number) << "1,234.50";
        QTest::newRow("thousands separators") << 2 << "1,234,567.891" << int(ValueType::Number) << "1,234,567.89";
        QTest::newRow("negative") << 2 << "-3" << int(ValueType::Number) << "-3.00";
        QTest::newRow("percentage") << 2 << "35%" << int(ValueType::Number) << "0.35";
        QTest::newRow("leading point") << 2 << ".5" << int(ValueType::Number) << "0.50";
        QTest::newRow("emptied") << 2 << "" << int(ValueType::Empty) << "";
        QTest::newRow("General: number") << 5 << "1,000" << int(ValueType::Number) << "1000";
        QTest::newRow("General: sign only") << 5 << "-" << int(ValueType::Text) << "-";
        QTest::newRow("General: misplaced separator") << 5 << "1,23" << int(ValueType::Text) << "1,23";
        QTest::newRow("General: text") << 5 << "12a" << int(ValueType::Text) << "12a";
    }

    void typedInput()
    {
        QFETCH(int, row);
        QFETCH(QString, typed);
        QFETCH(int, type);
        QFETCH(QString, shown);
        ScriptedInteraction ui;
        TCell cell;
        cell.setInteraction(&ui);
        open(cell);
        QVERIFY(typeInto(cell, 2, row, typed));
        QVERIFY(!cell.isEditing());
        QCOMPARE(int(cell.workbook().cell(2, row, 0)->value.type), type);
        QCOMPARE(cell.ReadCellText(2, row, 0), shown);
        QVERIFY(ui.shown.isEmpty());
    }

    // Text in a number cell would be saved as typed and read back as 0: the control refuses it,
    // says so, and keeps the edit open; Esc brings the old value back.
    void textRefusedInNumberCell_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("letters") << "abc";
        QTest::newRow("digits and letters") << "12a";
        QTest::newRow("sign only") << "-";
        QTest::newRow("misplaced separator") << "1,23";
    }

    void textRefusedInNumberCell()
    {
        QFETCH(QString, typed);
        ScriptedInteraction ui;
        TCell cell;
        cell.setInteraction(&ui);
        cell.resize(800, 600);
        cell.show();
        QVERIFY(QTest::qWaitForWindowExposed(&cell));
        open(cell);
        int finished = 0;
        connect(&cell, &TCell::OnEditFinish, this, [&](TCell *, QString &, int &) { ++finished; });
        cell.setCurrentCell(2, 2);
        QVERIFY(cell.beginEdit(typed, true));
        QTest::keyClick(cell.editor(), Qt::Key_Return);
        QVERIFY(cell.isEditing());
        QCOMPARE(cell.editor()->text(), typed);
        QCOMPARE(cell.currentRow(), 2);
        QCOMPARE(finished, 0);
        QCOMPARE(ui.texts(), QStringList{"此单元格只能填写数字，请重新输入，或按Esc键恢复原值！"});
        QCOMPARE(ui.shown[0].icon, MsgIcon::Warning);
        QTest::keyClick(cell.editor(), Qt::Key_Escape);
        QVERIFY(!cell.isEditing());
        QCOMPARE(cell.ReadCellText(2, 2, 0), QStringLiteral("100.00"));
        QCOMPARE(int(cell.workbook().cell(2, 2, 0)->value.type), int(ValueType::Number));

        // A correction is then taken as usual.
        QVERIFY(cell.beginEdit(typed, true));
        QTest::keyClick(cell.editor(), Qt::Key_Return);
        cell.editor()->setText(QStringLiteral("250"));
        QTest::keyClick(cell.editor(), Qt::Key_Return);
        QVERIFY(!cell.isEditing());
        QCOMPARE(cell.ReadCellNumber(2, 2, 0), 250.0);
        QCOMPARE(finished, 1);

        // Ended by the program (before a save), the refused entry is dropped after the message.
        ui.clear();
        cell.setCurrentCell(2, 2);
        QVERIFY(cell.beginEdit(typed, true));
        cell.CommitPendingEdit();
        QVERIFY(!cell.isEditing());
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(cell.ReadCellNumber(2, 2, 0), 250.0);
        QCOMPARE(finished, 1);
    }

    // A number wider than its cell shows as '#'s across the cell, never as its last digits.
    void tooWideNumberShowsHashes()
    {
        TCell cell;
        cell.resize(800, 600);
        cell.show();
        QVERIFY(QTest::qWaitForWindowExposed(&cell));
        open(cell);
        cell.WriteCellNumber(2, 2, 0, 5);
        QCOMPARE(cell.shownText(2, 2), QStringLiteral("5.00"));
        cell.WriteCellNumber(2, 2, 0, 1e20);
        const QString shown = cell.shownText(2, 2);
        QVERIFY2(shown.size() >= 3 && shown == QString(shown.size(), QLatin1Char('#')), qPrintable(shown));
        QCOMPARE(cell.ReadCellText(2, 2, 0), QStringLiteral("100,000,000,000,000,000,000.00")); // the value is intact
        // Text is drawn as it is, whatever its width.
        cell.WriteCellText(1, 1, 0, QString(60, QChar(0x6536)));
        QCOMPARE(cell.shownText(1, 1), QString(60, QChar(0x6536)));
        cell.findChild<QWidget *>(QStringLiteral("grid"))->repaint();
    }

    void cellsThatRefuseInput_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("row");
        QTest::newRow("locked label") << 1 << 1;
        QTest::newRow("formula") << 2 << 3;
        QTest::newRow("mark 5 from the style") << 2 << 4;
        QTest::newRow("mark 5 from a defined name") << 3 << 7;
        QTest::newRow("unstyled cell") << 6 << 20;
    }

    void cellsThatRefuseInput()
    {
        QFETCH(int, col);
        QFETCH(int, row);
        TCell cell;
        open(cell);
        int asked = 0;
        connect(&cell, &TCell::OnAllowEditCell, this, [&](TCell *, int, int, int &) { ++asked; });
        const QString before = cell.ReadCellText(col, row, 0);
        QVERIFY(!typeInto(cell, col, row, QStringLiteral("9")));
        QVERIFY(!cell.isEditing());
        QCOMPARE(asked, 0);
        QCOMPARE(cell.ReadCellText(col, row, 0), before);
    }

    void markFiveWrittenAtRunTimeRefusesInput()
    {
        TCell cell;
        open(cell);
        QVERIFY(typeInto(cell, 2, 5, QStringLiteral("1")));
        cell.WriteCellMark(2, 5, 0, 5);
        QVERIFY(!typeInto(cell, 2, 5, QStringLiteral("2")));
        QCOMPARE(cell.ReadCellNumber(2, 5, 0), 1.0);
    }

    void allowEditCanRefuseAndNamesTheCell()
    {
        TCell cell;
        open(cell);
        int seenCol = 0, seenRow = 0;
        connect(&cell, &TCell::OnAllowEditCell, this, [&](TCell *sender, int col, int row, int &approve) {
            QCOMPARE(sender, &cell);
            seenCol = col;
            seenRow = row;
            approve = 0;
        });
        QVERIFY(!typeInto(cell, 4, 6, QStringLiteral("5")));
        QCOMPARE(seenCol, 4);
        QCOMPARE(seenRow, 6);
        QCOMPARE(cell.ReadCellText(4, 6, 0), QString());
    }

    void editFinishRefusalKeepsTheOldValue()
    {
        TCell cell;
        open(cell);
        QString offered;
        connect(&cell, &TCell::OnEditFinish, this, [&](TCell *, QString &text, int &approve) {
            offered = text;
            if (text == QLatin1String("3500"))
                approve = 0;
            else
                text = text + QStringLiteral("0"); // a handler may also change the entry
        });
        QVERIFY(typeInto(cell, 2, 2, QStringLiteral("3500")));
        QCOMPARE(offered, QStringLiteral("3500"));
        QCOMPARE(cell.ReadCellNumber(2, 2, 0), 100.0);
        QVERIFY(typeInto(cell, 2, 2, QStringLiteral("12")));
        QCOMPARE(cell.ReadCellNumber(2, 2, 0), 120.0);
        QCOMPARE(cell.ReadCellNumber(2, 3, 0), 240.0); // the edit recalculates
    }

    void commitPendingEditRaisesEditFinish()
    {
        TCell cell;
        open(cell);
        QStringList finished;
        connect(&cell, &TCell::OnEditFinish, this, [&](TCell *, QString &text, int &) { finished << text; });
        cell.CommitPendingEdit(); // nothing open: no event
        QVERIFY(finished.isEmpty());
        cell.setCurrentCell(2, 5);
        QVERIFY(cell.beginEdit(QStringLiteral("4"), true));
        cell.editor()->setText(QStringLiteral("42"));
        cell.CommitPendingEdit();
        QCOMPARE(finished, QStringList{QStringLiteral("42")});
        QVERIFY(!cell.isEditing());
        QCOMPARE(cell.ReadCellNumber(2, 5, 0), 42.0);
    }

    void sheetChangeIsAnnounced()
    {
        TCell cell;
        open(cell);
        QList<QPair<int, int>> changes;
        connect(&cell, &TCell::OnSheetChanged, this, [&](TCell *, int from, int to) {
            QCOMPARE(cell.ActiveSheetIndex(), to); // raised after the sheet is shown
            changes.append({from, to});
        });
        QCOMPARE(cell.ActiveSheetIndex(), 0);
        cell.setActiveSheet(1);
        cell.setActiveSheet(1);
        cell.setActiveSheet(0);
        QCOMPARE(changes, (QList<QPair<int, int>>{{0, 1}, {1, 0}}));
    }

    void keyboardMovesAndTypesLikeASpreadsheet()
    {
        TCell cell;
        cell.resize(800, 600);
        cell.show();
        QVERIFY(QTest::qWaitForWindowExposed(&cell));
        open(cell);
        QWidget *grid = cell.findChild<QWidget *>(QStringLiteral("grid"));
        QVERIFY(grid);
        grid->setFocus();
        cell.setCurrentCell(2, 2);
        QTest::keyClick(grid, Qt::Key_Right);
        QCOMPARE(cell.currentCol(), 3);
        QTest::keyClick(grid, Qt::Key_Tab);
        QCOMPARE(cell.currentCol(), 4);
        QTest::keyClick(grid, Qt::Key_Backtab);
        QTest::keyClick(grid, Qt::Key_Left);
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(cell.currentRow(), 3);
        QTest::keyClick(grid, Qt::Key_Up);
        QTest::keyClick(grid, Qt::Key_Enter);
        QCOMPARE(cell.currentRow(), 3);
        // A merged range is one stop.
        cell.setCurrentCell(2, 10);
        QCOMPARE(cell.currentCol(), 1);
        QCOMPARE(cell.currentRow(), 9);
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(cell.currentRow(), 11);
        // Typing starts an edit with the key; Enter confirms and moves down.
        cell.setCurrentCell(2, 5);
        QTest::keyClicks(grid, QStringLiteral("7"));
        QVERIFY(cell.isEditing());
        QTest::keyClicks(cell.editor(), QStringLiteral(",500"));
        QTest::keyClick(cell.editor(), Qt::Key_Return);
        QVERIFY(!cell.isEditing());
        QCOMPARE(cell.ReadCellNumber(2, 5, 0), 7500.0);
        QCOMPARE(cell.currentRow(), 6);
        // Escape abandons an edit.
        cell.setCurrentCell(2, 5);
        QTest::keyClicks(grid, QStringLiteral("1"));
        QTest::keyClick(cell.editor(), Qt::Key_Escape);
        QVERIFY(!cell.isEditing());
        QCOMPARE(cell.ReadCellNumber(2, 5, 0), 7500.0);
        grid->repaint(); // painting every kind of cell must not fail
    }

    void exportAsksForANameAndWritesTheWorkbook()
    {
        FilterRecorder ui;
        TCell cell;
        cell.setInteraction(&ui);
        open(cell);
        cell.WriteCellNumber(2, 2, 0, 3500);
        cell.RecalculateWorkbook();
        const QString target = m_dir.filePath(QStringLiteral("申报表"));
        ui.answerFileName(target);
        QCOMPARE(cell.ExportToExcel(), 1);
        QCOMPARE(ui.filters, QStringList{QStringLiteral("Excel(*.xlsx)")});
        Workbook back;
        QString error;
        QVERIFY2(readXlsxFile(target + QStringLiteral(".xlsx"), back, &error), qPrintable(error));
        QCOMPARE(back.readText(2, 2, 0), QStringLiteral("3,500.00"));
        QCOMPARE(back.readNumber(2, 3, 0), 7000.0);
        QCOMPARE(back.formulaText(*back.cell(2, 3, 0)), QStringLiteral("B2*2"));
        QCOMPARE(back.readMark(2, 4, 0), 5);
        // Cancelling the dialog writes nothing.
        ui.answerFileName(QString());
        QCOMPARE(cell.ExportToExcel(), 0);
    }

    void registrationEntriesWriteAndRemoveTheKey()
    {
        const QString key = Registry::cellTypeLibKey();
        QCOMPARE(DllRegisterServer(), 0L);
        const QString path = Registry::readDefault(key);
        QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("libCellCtrl5.so"));
        QVERIFY(QFileInfo(path).isAbsolute());
        QVERIFY(QFileInfo::exists(path));
        // The companion library has the same entries and leaves the control's key alone.
        const QByteArray companion = (qEnvironmentVariable("LW_STAGE") + QStringLiteral("/cell/libYRWXls.so")).toLocal8Bit();
        void *lib = dlopen(companion.constData(), RTLD_NOW | RTLD_LOCAL);
        QVERIFY2(lib, dlerror());
        auto reg = reinterpret_cast<long (*)()>(dlsym(lib, "DllRegisterServer"));
        auto unreg = reinterpret_cast<long (*)()>(dlsym(lib, "DllUnregisterServer"));
        QVERIFY(reg && unreg);
        QCOMPARE(reg(), 0L);
        QCOMPARE(unreg(), 0L);
        dlclose(lib);
        QCOMPARE(Registry::readDefault(key), path);
        QCOMPARE(DllUnregisterServer(), 0L);
        QCOMPARE(Registry::readDefault(key), QString());
    }
};

QTEST_MAIN(TestTCell)
#include "tst_tcell.moc"
