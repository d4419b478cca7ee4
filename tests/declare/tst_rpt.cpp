// SPDX-License-Identifier: GPL-3.0-or-later
#include "Clock.h"
#include "DeclareFixture.h"
#include "ModalDriver.h"
#include "ReportKinds.h"
#include "TCell.h"
#include "untMbksRpt.h"
#include "untRpt.h"
#include "untSelpsn.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace lw;
using test::DeclareFixture;

namespace {
std::unique_ptr<TfrmRpt> openWindow(int kind, const QString &qsrq = QString(), const QString &zzrq = QString())
{
    auto w = std::make_unique<TfrmRpt>();
    w->ReportKind = kind;
    w->FormShow();
    if (!qsrq.isEmpty())
        w->setPeriod(qsrq, zzrq);
    return w;
}

// What the grid does when the user finishes typing into a cell.
int finishEdit(TfrmRpt &w, int col, int row, const QString &entry)
{
    int approve = 1;
    emit w.CellInfo->OnAllowEditCell(w.CellInfo, col, row, approve);
    QString text = entry;
    emit w.CellInfo->OnEditFinish(w.CellInfo, text, approve);
    return approve;
}

const QString kQ1Start = QStringLiteral("2011-01-01");
const QString kQ1End = QStringLiteral("2011-03-31");
} // namespace

class TestRpt : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Clock::reset(); }
    void periodProposals_data();
    void periodProposals();
    void marksByCollectionCode_data();
    void marksByCollectionCode();
    void buttonsByKind_data();
    void buttonsByKind();
    void roundTrip_data();
    void roundTrip();
    void secondLoadShowsStoredRows();
    void consolidatedTakeOver_data();
    void consolidatedTakeOver();
    void rule3500_data();
    void rule3500();
    void kind5RefusedWithoutPartnerships();
    void unsavedChangesBlockLoad();
    void periodChangedBetweenLoadAndSave();
    void deleteThenReloadCopiesAnew();
    void notApplicableFlagPersists();
    void closingSavesWithoutAsking();
    void invalidPeriodStops();
    void ledgerRoundTripAndCopy();
    void endDateCheckedOnEachKey();
    void helpAndExport();
    void regimeNotice_data();
    void regimeNotice();
    void shareCheck_data();
    void shareCheck();
    void loadShowsFiguresWithoutEdit();
    void periodWithoutValuesLoadsAsFirstLoad();
};

namespace {
QString statusNote(TfrmRpt &w, const char *name)
{
    auto *label = w.findChild<QWidget *>(QStringLiteral("StatusBar1"))->findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}
} // namespace

void TestRpt::periodProposals_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("deadline");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::newRow("quarterly, last day of Q1") << 1 << "Q01_15" << QDate(2011, 3, 31) << "2011-01-01" << "2011-03-31";
    QTest::newRow("quarterly, first day of Q2") << 1 << "Q01_15" << QDate(2011, 4, 1) << "2011-04-01" << "2011-06-30";
    QTest::newRow("quarterly, Q4") << 1 << "Q01_15" << QDate(2011, 12, 31) << "2011-10-01" << "2011-12-31";
    QTest::newRow("monthly, leap February") << 1 << "M01_15" << QDate(2012, 2, 10) << "2012-02-01" << "2012-02-29";
    QTest::newRow("no deadline code") << 1 << "" << QDate(2011, 5, 5) << "" << "";
    QTest::newRow("liquidation: this month") << 2 << "Q01_15" << QDate(2011, 4, 30) << "2011-04-01" << "2011-04-30";
    QTest::newRow("annual in 2011") << 4 << "Q01_15" << QDate(2011, 1, 1) << "2010-01-01" << "2010-12-31";
    QTest::newRow("annual late 2011") << 4 << "Q01_15" << QDate(2011, 12, 31) << "2010-01-01" << "2010-12-31";
    QTest::newRow("partnerships: this month") << 5 << "" << QDate(2011, 11, 3) << "2011-11-01" << "2011-11-30";
}

void TestRpt::periodProposals()
{
    QFETCH(int, kind);
    QFETCH(QString, deadline);
    QFETCH(QDate, today);
    QFETCH(QString, start);
    QFETCH(QString, end);
    DeclareFixture f(QStringLiteral("10"), deadline);
    Clock::setFixed(QDateTime(today, QTime(9, 0)));
    auto w = openWindow(kind);
    QCOMPARE(w->findChild<QLineEdit *>(QStringLiteral("qsrqDateEdit"))->text(), start);
    QCOMPARE(w->findChild<QLineEdit *>(QStringLiteral("zzrqDateEdit"))->text(), end);
    QCOMPARE(w->KeptSbqxrDm, kind == 1 ? deadline : QString());
}

void TestRpt::marksByCollectionCode_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QList<int>>("markedRows"); // rows of column 4 on sheet 0 that carry mark 5
    QTest::newRow("quarterly, audit-based") << 1 << "10" << QList<int>{12};
    QTest::newRow("quarterly, by income") << 1 << "20" << QList<int>{9};
    QTest::newRow("quarterly, by cost") << 1 << "22" << QList<int>{8};
    QTest::newRow("annual, audit-based") << 4 << "10" << QList<int>{};
    QTest::newRow("annual deemed, by income") << 4 << "20" << QList<int>{10};
    QTest::newRow("annual deemed, by cost") << 4 << "22" << QList<int>{8, 9};
}

void TestRpt::marksByCollectionCode()
{
    QFETCH(int, kind);
    QFETCH(QString, code);
    QFETCH(QList<int>, markedRows);
    DeclareFixture f(code);
    auto w = openWindow(kind);
    QCOMPARE(dm()->CollectionMethodCode, code);
    for (int row = 8; row <= 12; ++row)
        QCOMPARE(w->CellInfo->ReadCellMark(4, row, 0) == 5, markedRows.contains(row));
    QCOMPARE(w->windowTitle(), KindInfo(kind, code).caption);
}

void TestRpt::buttonsByKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("visible");
    QTest::newRow("1") << 1 << "10" << "TeSpBtnInport ToolButton1";
    QTest::newRow("2") << 2 << "10" << "TeSpBtnInport";
    QTest::newRow("3") << 3 << "10" << "TeSpBtnModify ToolButton1";
    QTest::newRow("4 audit") << 4 << "10" << "TeSpBtnInport ToolButton1";
    QTest::newRow("4 deemed") << 4 << "20" << "TeSpBtnInport";
    QTest::newRow("5") << 5 << "10" << "TeSpBtnInport";
}

void TestRpt::buttonsByKind()
{
    QFETCH(int, kind);
    QFETCH(QString, code);
    QFETCH(QString, visible);
    DeclareFixture f(code);
    auto w = openWindow(kind);
    for (const char *name : {"TeSpBtnInport", "TeSpBtnModify", "ToolButton1"})
        QCOMPARE(w->buttonVisible(name), visible.split(QLatin1Char(' ')).contains(QLatin1String(name)));
    for (const char *name : {"ToolButton3", "TeSpBtnSetup", "TeSpBtnSave", "TeSpBtnExit", "ToolButton2"})
        QVERIFY(w->buttonVisible(name));
}

void TestRpt::roundTrip_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QPoint>("check");  // loaded-check cell on sheet 0
    QTest::addColumn<QString>("checkText");
    QTest::addColumn<QPoint>("input");  // an input cell on sheet 0
    QTest::newRow("quarterly") << 1 << "10" << QPoint(2, 3) << "济南泉城会计师事务所（普通合伙）" << QPoint(4, 8);
    QTest::newRow("liquidation") << 2 << "10" << QPoint(3, 3) << "济南泉城会计师事务所（普通合伙）" << QPoint(4, 6);
    QTest::newRow("annual audit-based") << 4 << "10" << QPoint(2, 3) << "济南泉城会计师事务所（普通合伙）" << QPoint(4, 8);
    QTest::newRow("annual deemed") << 4 << "20" << QPoint(2, 3) << "济南泉城会计师事务所（普通合伙）" << QPoint(4, 8);
    QTest::newRow("partnerships") << 5 << "10" << QPoint(2, 2) << "370102000777666" << QPoint(11, 4);
}

void TestRpt::roundTrip()
{
    QFETCH(int, kind);
    QFETCH(QString, code);
    QFETCH(QPoint, check);
    QFETCH(QString, checkText);
    QFETCH(QPoint, input);
    DeclareFixture f(code);
    dm()->adoQry1.exec(QStringLiteral("insert into hhqymx (swdjjbxx_id,hhrswglm,hhr_mc,tzzxz,czfs,tz_bl,tz_je,fp_bl) values "
                                      "('370102000777666','370102197001010055','赵六','01','1',50,100000,50)"));
    const QString start = kind == 4 ? QStringLiteral("2010-01-01") : kQ1Start;
    const QString end = kind == 4 ? QStringLiteral("2010-12-31") : kQ1End;
    {
        auto w = openWindow(kind, start, end);
        w->TeSpBtnInportClick();
        QVERIFY(!w->Saved);
        QCOMPARE(w->CellInfo->ReadCellText(check.x(), check.y(), 0), checkText);
        if (kind != 5) {
            const int firstRow = kind == 4 && code == QLatin1String("10") ? 5 : 4;
            QCOMPARE(w->CellInfo->ReadCellText(2, firstRow, 1), QStringLiteral("张明"));
            QCOMPARE(w->CellInfo->ReadCellNumber(4, firstRow, 1), 40.0);
        } else {
            QCOMPARE(w->CellInfo->ReadCellText(4, 4, 0), QStringLiteral("自然人投资者"));
            QCOMPARE(w->CellInfo->ReadCellText(7, 4, 0), QStringLiteral("货币"));
        }
        w->CellInfo->WriteCellNumber(input.x(), input.y(), 0, 1234.5);
        if (qEnvironmentVariableIsSet("LW_SHOT_DIR")) { // for looking at the form by eye
            w->resize(1280, 800);
            w->CellInfo->RecalculateWorkbook();
            w->grab().save(qEnvironmentVariable("LW_SHOT_DIR") + QStringLiteral("/rpt%1-%2.png").arg(kind).arg(code));
        }
        w->TeSpBtnSetupClick();
        QVERIFY(w->Saved);
    }
    const QString table = KindInfo(kind, code).workingTable;
    QVERIFY(f.count(QStringLiteral("select * from %1 where sValue is null").arg(table)) == 0);
    if (kind == 5)
        QCOMPARE(f.value(QStringLiteral("select sValue from recal_hhqymx where col=4 and row=4 and sheet=0")), QStringLiteral("01"));
    auto again = openWindow(kind, start, end);
    QVERIFY(again->CellInfo->ReadCellText(check.x(), check.y(), 0).isEmpty());
    again->TeSpBtnInportClick();
    QVERIFY(again->Saved);
    QCOMPARE(again->CellInfo->ReadCellText(check.x(), check.y(), 0), checkText);
    QCOMPARE(again->CellInfo->ReadCellNumber(input.x(), input.y(), 0), 1234.5);
    if (kind == 5)
        QCOMPARE(again->CellInfo->ReadCellText(4, 4, 0), QStringLiteral("自然人投资者"));
    QVERIFY(f.ui->shown.isEmpty());
}

void TestRpt::secondLoadShowsStoredRows()
{
    DeclareFixture f;
    auto w = openWindow(1, kQ1Start, kQ1End);
    w->TeSpBtnInportClick();
    const int rows = f.count(QStringLiteral("select * from recal_yj"));
    QVERIFY(rows > 100);
    w->TeSpBtnSetupClick();
    w->TeSpBtnInportClick();
    QCOMPARE(f.count(QStringLiteral("select * from recal_yj")), rows);
    QCOMPARE(f.value(QStringLiteral("select sValue from recal_yj where col=2 and row=3 and sheet=0")),
             QStringLiteral("济南泉城会计师事务所（普通合伙）"));
}

void TestRpt::consolidatedTakeOver_data()
{
    QTest::addColumn<bool>("annualRow");
    QTest::addColumn<double>("figure");
    QTest::newRow("annual figure taken over") << true << 228000.0;
    QTest::newRow("no annual row") << false << 0.0;
}

void TestRpt::consolidatedTakeOver()
{
    QFETCH(bool, annualRow);
    QFETCH(double, figure);
    DeclareFixture f;
    if (annualRow) {
        auto &q = dm()->adoQry1;
        q.exec(QStringLiteral("insert into recal_cz (col,row,sheet,type,sValue,qsrq,zzrq) values (1,6,1,1,'370102198001010011','2010-01-01','2010-12-31')"));
        q.exec(QStringLiteral("insert into recal_cz (col,row,sheet,type,sValue,qsrq,zzrq) values (5,6,1,2,'228,000.00','2010-01-01','2010-12-31')"));
    }
    auto w = openWindow(3, QStringLiteral("2010-01-01"), QStringLiteral("2010-12-31"));
    test::ModalDriver pick(QStringLiteral("frmSelpsn"), [](QWidget *dialog) {
        auto *picker = static_cast<TfrmSelpsn *>(dialog);
        picker->setCurrentRow(1); // codes descending: 李华, 张明, the company
        picker->bbtnOKClick();
    });
    w->TeSpBtnModifyClick();
    QVERIFY(pick.ran());
    QCOMPARE(w->CellInfo->ReadCellText(3, 3, 0), QStringLiteral("张明"));
    QCOMPARE(w->CellInfo->ReadCellText(5, 4, 0), QStringLiteral("370102198001010011"));
    QCOMPARE(w->CellInfo->ReadCellNumber(7, 6, 0), figure);
    QVERIFY(!w->Saved);
    w->TeSpBtnSetupClick();
    QVERIFY(f.count(QStringLiteral("select * from recal_hz where sValue='张明'")) == 1);

    // A second investor for the same period shows the first one's stored form.
    test::ModalDriver again(QStringLiteral("frmSelpsn"), [](QWidget *dialog) {
        auto *picker = static_cast<TfrmSelpsn *>(dialog);
        picker->setCurrentRow(0);
        picker->bbtnOKClick();
    });
    w->TeSpBtnModifyClick();
    QCOMPARE(w->CellInfo->ReadCellText(3, 3, 0), QStringLiteral("张明"));
}

void TestRpt::rule3500_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("full year") << "10" << 8 << "42000" << true;
    QTest::newRow("thirteen months") << "10" << 8 << "45500" << false;
    QTest::newRow("not a multiple") << "10" << 8 << "3501" << false;
    QTest::newRow("zero") << "10" << 8 << "0" << true;
    QTest::newRow("negative multiple") << "10" << 8 << "-3500" << true;
    QTest::newRow("empty counts as zero") << "10" << 8 << "" << true;
    QTest::newRow("with separator") << "10" << 8 << "21,000" << true;
    QTest::newRow("not a whole number") << "10" << 8 << "3500.5" << false;
    QTest::newRow("text") << "10" << 8 << "abc" << false;
    QTest::newRow("other column") << "10" << 7 << "3501" << true;
    QTest::newRow("deemed collection") << "20" << 8 << "3501" << true;
}

void TestRpt::rule3500()
{
    QFETCH(QString, code);
    QFETCH(int, col);
    QFETCH(QString, entry);
    QFETCH(bool, accepted);
    DeclareFixture f(code);
    auto w = openWindow(1, kQ1Start, kQ1End);
    w->CellInfo->setActiveSheet(1);
    QCOMPARE(finishEdit(*w, col, 4, entry) != 0, accepted);
    QCOMPARE(f.ui->texts(), accepted ? QStringList{} : QStringList{"填写错误，只能是3500的倍数，并且不能大于3500*12！"});
    QVERIFY(!w->Saved);
}

void TestRpt::kind5RefusedWithoutPartnerships()
{
    DeclareFixture f;
    auto w = openWindow(5, kQ1Start, kQ1End);
    w->TeSpBtnInportClick();
    QCOMPARE(f.ui->texts(), QStringList{"如果投资者信息中选择了投资者性质为合伙企业，并填写合伙人为合伙企业表，然后再重新加载数据！"});
    QCOMPARE(f.count(QStringLiteral("select * from recal_hhqymx")), 0);
    QVERIFY(w->Saved);
}

void TestRpt::unsavedChangesBlockLoad()
{
    DeclareFixture f;
    auto w = openWindow(1, kQ1Start, kQ1End);
    w->TeSpBtnInportClick();
    const int rows = f.count(QStringLiteral("select * from recal_yj"));
    w->setPeriod(QStringLiteral("2011-04-01"), QStringLiteral("2011-06-30"));
    w->TeSpBtnInportClick();
    QCOMPARE(f.ui->texts(), QStringList{"请先保存数据，然后再重新加载数据！"});
    QCOMPARE(f.count(QStringLiteral("select * from recal_yj")), rows);
}

void TestRpt::periodChangedBetweenLoadAndSave()
{
    DeclareFixture f;
    auto w = openWindow(1, kQ1Start, kQ1End);
    w->TeSpBtnInportClick();
    w->CellInfo->WriteCellNumber(4, 8, 0, 500);
    w->setPeriod(QStringLiteral("2011-04-01"), QStringLiteral("2011-06-30"));
    w->TeSpBtnSetupClick();
    QVERIFY(w->Saved);
    // The new period has no rows: nothing written anywhere.
    QCOMPARE(f.count(QStringLiteral("select * from recal_yj where qsrq='2011-04-01'")), 0);
    QCOMPARE(f.count(QStringLiteral("select * from recal_yj where sValue<>''")), 0);
    w->setPeriod(kQ1Start, kQ1End);
    w->TeSpBtnSetupClick();
    QCOMPARE(f.value(QStringLiteral("select sValue from recal_yj where col=4 and row=8 and sheet=0")), QStringLiteral("500.00"));
}

void TestRpt::deleteThenReloadCopiesAnew()
{
    DeclareFixture f;
    auto w = openWindow(1, kQ1Start, kQ1End);
    w->TeSpBtnInportClick();
    w->CellInfo->WriteCellNumber(4, 8, 0, 777);
    w->TeSpBtnSetupClick();
    dm()->adoQry1.exec(QStringLiteral("insert into recal_yj (col,row,sheet,type,sValue,qsrq,zzrq) values (4,8,0,2,'9','2011-04-01','2011-06-30')"));
    f.ui->answer(IdYes);
    w->ToolButton3Click();
    QCOMPARE(f.ui->texts(), QStringList{"是否确定删除全部数据？"});
    QCOMPARE(f.count(QStringLiteral("select * from recal_yj where qsrq='2011-01-01'")), 0);
    QCOMPARE(f.count(QStringLiteral("select * from recal_yj where qsrq='2011-04-01'")), 1); // other periods stay
    QVERIFY(w->CellInfo->ReadCellText(2, 3, 0).isEmpty());
    QVERIFY(w->Saved);
    w->done(QDialog::Rejected); // closing after a delete saves nothing
    QCOMPARE(f.count(QStringLiteral("select * from recal_yj where qsrq='2011-01-01'")), 0);

    auto again = openWindow(1, kQ1Start, kQ1End);
    again->TeSpBtnInportClick();
    QVERIFY(f.count(QStringLiteral("select * from recal_yj where qsrq='2011-01-01'")) > 100);
    QCOMPARE(again->CellInfo->ReadCellNumber(4, 8, 0), 0.0);
}

void TestRpt::notApplicableFlagPersists()
{
    DeclareFixture f(QStringLiteral("10"));
    const QString start = QStringLiteral("2010-01-01"), end = QStringLiteral("2010-12-31");
    {
        auto w = openWindow(4, start, end);
        w->TeSpBtnInportClick();
        // The legal-person partner is the third listed: sheet 1 row 7.
        QCOMPARE(w->CellInfo->ReadCellText(2, 7, 1), QStringLiteral("泉城投资有限公司"));
        QCOMPARE(w->CellInfo->ReadCellMark(8, 7, 1), 5);
        QCOMPARE(w->CellInfo->ReadCellMark(8, 5, 1), 0);
        w->TeSpBtnSetupClick();
    }
    QCOMPARE(f.value(QStringLiteral("select iFlag from recal_cz where col=8 and row=7 and sheet=1")), QStringLiteral("1"));
    QCOMPARE(f.value(QStringLiteral("select sValue from recal_cz where col=7 and row=7 and sheet=1")), QStringLiteral("0"));
    auto again = openWindow(4, start, end);
    QCOMPARE(again->CellInfo->ReadCellMark(8, 7, 1), 0);
    again->TeSpBtnInportClick();
    QCOMPARE(again->CellInfo->ReadCellMark(7, 7, 1), 5);
    QCOMPARE(again->CellInfo->ReadCellMark(8, 7, 1), 5);
    again->TeSpBtnSetupClick(); // a later save keeps the flag
    QCOMPARE(f.value(QStringLiteral("select iFlag from recal_cz where col=8 and row=7 and sheet=1")), QStringLiteral("1"));
}

void TestRpt::closingSavesWithoutAsking()
{
    DeclareFixture f;
    {
        auto w = openWindow(1, kQ1Start, kQ1End);
        w->done(QDialog::Rejected); // right after showing: nothing to save
        QCOMPARE(f.count(QStringLiteral("select * from recal_yj")), 0);
    }
    auto w = openWindow(1, kQ1Start, kQ1End);
    w->TeSpBtnInportClick();
    w->CellInfo->WriteCellNumber(4, 8, 0, 800000);
    QCOMPARE(finishEdit(*w, 4, 8, QStringLiteral("800000")), 1);
    w->done(QDialog::Rejected);
    QVERIFY(w->Saved);
    QVERIFY(f.ui->shown.isEmpty());
    QCOMPARE(f.value(QStringLiteral("select sValue from recal_yj where col=4 and row=8 and sheet=0")), QStringLiteral("800,000.00"));
    QCOMPARE(f.value(QStringLiteral("select sValue from recal_yj where col=2 and row=3 and sheet=0")),
             QStringLiteral("济南泉城会计师事务所（普通合伙）"));
}

void TestRpt::invalidPeriodStops()
{
    DeclareFixture f(QStringLiteral("10"), QString());
    auto w = openWindow(1); // no deadline code: empty period fields
    w->TeSpBtnInportClick();
    QCOMPARE(f.ui->shown.size(), 1);
    QCOMPARE(f.ui->shown[0].icon, MsgIcon::Error);
    QCOMPARE(f.count(QStringLiteral("select * from recal_yj")), 0);
    w->setPeriod(QStringLiteral("2011-02-30"), kQ1End);
    w->TeSpBtnInportClick();
    QCOMPARE(f.ui->shown.size(), 2);
    QCOMPARE(f.count(QStringLiteral("select * from recal_yj")), 0);
}

void TestRpt::ledgerRoundTripAndCopy()
{
    DeclareFixture f(QStringLiteral("10"));
    auto w = openWindow(4, QStringLiteral("2011-01-01"), QStringLiteral("2011-12-31"));
    w->TeSpBtnInportClick();
    w->CellInfo->setActiveSheet(3);
    auto *ledgerButton = w->findChild<QPushButton *>(QStringLiteral("Button2"));
    QVERIFY(!ledgerButton->isHidden());

    // Edited and saved twice: five rows, updated by year the second time.
    test::ModalDriver edit(QStringLiteral("frmMbksRpt"), [](QWidget *dialog) {
        auto *ledger = static_cast<TfrmMbksRpt *>(dialog);
        QCOMPARE(ledger->Cell1->ReadCellNumber(6, 3, 0), 2010.0);
        QCOMPARE(ledger->Cell1->ReadCellText(3, 9, 0), QStringLiteral("*"));
        ledger->Cell1->WriteCellNumber(2, 4, 0, 50000);
        ledger->Cell1->WriteCellNumber(2, 5, 0, 40000);
        ledger->Saved = false;
        ledger->TeSpBtnSetupClick();
        ledger->Cell1->WriteCellNumber(2, 5, 0, 30000);
        ledger->TeSpBtnSetupClick();
    });
    w->Button2Click();
    QVERIFY(edit.ran());
    QCOMPARE(f.count(QStringLiteral("select * from wa_mbksmxsheet where swglm='370102000123456' and qsrq='2011-01-01'")), 5);
    QCOMPARE(f.value(QStringLiteral("select min(nd) from wa_mbksmxsheet")), QStringLiteral("2006"));
    QCOMPARE(f.value(QStringLiteral("select kmbks_je from wa_mbksmxsheet where nd=2006")), QStringLiteral("30000"));
    QCOMPARE(w->CellInfo->ReadCellNumber(4, 7, 3), 50000.0);
    QCOMPARE(w->CellInfo->ReadCellNumber(5, 7, 3), 30000.0);

    // Opened and closed untouched: the loss sheet keeps what it has.
    w->CellInfo->WriteCellNumber(4, 7, 3, 1);
    test::ModalDriver look(QStringLiteral("frmMbksRpt"), [](QWidget *dialog) {
        QCOMPARE(static_cast<TfrmMbksRpt *>(dialog)->Cell1->ReadCellNumber(2, 4, 0), 50000.0);
    });
    w->Button2Click();
    QVERIFY(look.ran());
    QCOMPARE(w->CellInfo->ReadCellNumber(4, 7, 3), 1.0);
}

void TestRpt::endDateCheckedOnEachKey()
{
    DeclareFixture f;
    auto w = openWindow(1, QStringLiteral("2011-03-01"), QStringLiteral("2011-02-28"));
    auto *end = w->findChild<QLineEdit *>(QStringLiteral("zzrqDateEdit"));
    QTest::keyClick(end, Qt::Key_End);
    QTest::keyClick(end, Qt::Key_Backspace);
    QCOMPARE(f.ui->texts(), (QStringList{"止日期不能小于起始日期！", "止日期不能小于起始日期！"}));
    QCOMPARE(end->text(), QStringLiteral("2011-02-2")); // the key is processed all the same
    f.ui->clear();
    end->setText(QStringLiteral("2011-03-3"));
    QTest::keyClick(end, Qt::Key_1);
    QVERIFY(f.ui->shown.isEmpty());
}

void TestRpt::helpAndExport()
{
    DeclareFixture f;
    auto w = openWindow(1, kQ1Start, kQ1End);
    w->Button1Click();
    QCOMPARE(f.ui->opened, QList<QUrl>{QUrl::fromLocalFile(f.env->appPath() + QStringLiteral("hlp/yj.html"))});
    auto partners = openWindow(5);
    partners->Button1Click(); // no help page for kind 5
    QCOMPARE(f.ui->opened.size(), 1);

    w->TeSpBtnInportClick();
    const QString file = f.env->appPath() + QStringLiteral("tmp/export.xlsx");
    f.ui->answerFileName(file);
    w->TeSpBtnSaveClick();
    QCOMPARE(f.ui->saveDialogs.size(), 1);
    QVERIFY(QFileInfo(file).size() > 1000);
    TCell reread;
    QCOMPARE(reread.OpenWorkbook(file, QString()), 0);
    QCOMPARE(reread.ReadCellText(2, 3, 0), QStringLiteral("济南泉城会计师事务所（普通合伙）"));
}

// The forms compute the 2011-09-01 to 2018-09-30 regime; any other period is pointed out and
// still loads.
void TestRpt::regimeNotice_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("notice");
    QTest::newRow("inside, first day") << 1 << "2011-09-01" << "2011-09-30" << false;
    QTest::newRow("inside, last day") << 1 << "2018-07-01" << "2018-09-30" << false;
    QTest::newRow("straddling the start") << 1 << "2011-07-01" << "2011-09-30" << true;
    QTest::newRow("straddling the end") << 4 << "2018-01-01" << "2018-12-31" << true;
    QTest::newRow("outside, before") << 2 << "2011-03-01" << "2011-03-31" << true;
    QTest::newRow("outside, after") << 3 << "2019-01-01" << "2019-03-31" << true;
    QTest::newRow("kind 5 has no tax figures") << 5 << "2019-01-01" << "2019-01-31" << false;
}

void TestRpt::regimeNotice()
{
    QFETCH(int, kind);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(bool, notice);
    DeclareFixture f;
    auto w = openWindow(kind, start, end);
    const QString text = statusNote(*w, "lblRegime");
    if (notice) {
        QVERIFY2(text.contains(QStringLiteral("2011年9月1日至2018年9月30日")) && text.contains(QStringLiteral("3500"))
                     && text.contains(start) && text.contains(end),
                 qPrintable(text));
    } else {
        QVERIFY2(text.isEmpty(), qPrintable(text));
    }
    if (kind == 1 || kind == 2) {
        w->TeSpBtnInportClick(); // never blocked
        QVERIFY(w->formLoaded());
        QVERIFY(f.ui->shown.isEmpty());
    }
    // The note follows the period in the date fields.
    w->setPeriod(QStringLiteral("2012-01-01"), QStringLiteral("2012-03-31"));
    QCOMPARE(statusNote(*w, "lblRegime"), QString());
}

// The fixture's shares are 40/30/20/10; the last one is changed before the load.
void TestRpt::shareCheck_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("sum"); // empty: no note
    QTest::newRow("100") << 1 << "10" << "10" << "";
    QTest::newRow("99.99") << 1 << "10" << "9.99" << "99.99";
    QTest::newRow("100.01") << 1 << "10" << "10.01" << "100.01";
    QTest::newRow("100 to two decimals") << 1 << "10" << "10.001" << "";
    QTest::newRow("annual audit-based, 99.99") << 4 << "10" << "9.99" << "99.99";
    QTest::newRow("annual deemed, 100.01") << 4 << "20" << "10.01" << "100.01";
    QTest::newRow("liquidation, 100") << 2 << "10" << "10" << "";
}

void TestRpt::shareCheck()
{
    QFETCH(int, kind);
    QFETCH(QString, code);
    QFETCH(QString, last);
    QFETCH(QString, sum);
    DeclareFixture f(code);
    dm()->adoQry1.exec(QStringLiteral("update hhrtzqk set fp_bl=%1 where hhrswglm='370102000777666'").arg(last));
    const bool annual = kind == 4;
    auto w = openWindow(kind, annual ? QStringLiteral("2010-01-01") : kQ1Start, annual ? QStringLiteral("2010-12-31") : kQ1End);
    QCOMPARE(statusNote(*w, "lblShares"), QString());
    w->TeSpBtnInportClick();
    const QString note = statusNote(*w, "lblShares");
    if (sum.isEmpty())
        QVERIFY2(note.isEmpty(), qPrintable(note));
    else
        QCOMPARE(note, QStringLiteral("提示：投资者分配比例合计为%1%，不等于100%，请核对。").arg(sum));
    QVERIFY(f.ui->shown.isEmpty());

    // Checked again after each save, on what the form holds then; the save itself goes through.
    const int lastRow = (kind == 4 && code == QLatin1String("10") ? 5 : 4) + 3;
    w->CellInfo->WriteCellNumber(4, lastRow, 1, 11);
    w->TeSpBtnSetupClick();
    QVERIFY(w->Saved);
    QCOMPARE(statusNote(*w, "lblShares"), QStringLiteral("提示：投资者分配比例合计为101.00%，不等于100%，请核对。"));
    w->CellInfo->WriteCellNumber(4, lastRow, 1, 10);
    w->TeSpBtnSetupClick();
    QCOMPARE(statusNote(*w, "lblShares"), QString());
}

// Right after "加载&I" every formula shows its value: the investor count, and the partners' taxes
// once a profit is entered, with none for the legal-person partner.
void TestRpt::loadShowsFiguresWithoutEdit()
{
    DeclareFixture f;
    auto w = openWindow(1, kQ1Start, kQ1End);
    w->TeSpBtnInportClick();
    QCOMPARE(w->CellInfo->ReadCellText(2, 5, 0), QStringLiteral("4"));
    w->CellInfo->WriteCellNumber(4, 8, 0, 400000);
    w->CellInfo->RecalculateWorkbook();
    // 40 % of 400000 = 160000 → 35 %: 41250; 30 %: 120000 → 27250; legal person 20 %: 0; 10 %: 40000 → 4250.
    QCOMPARE(w->CellInfo->ReadCellText(2, 6, 1), QStringLiteral("泉城投资有限公司"));
    QCOMPARE(w->CellInfo->ReadCellNumber(5, 6, 1), 80000.0);
    const double taxes[] = {41250, 27250, 0, 4250};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(w->CellInfo->ReadCellNumber(12, 4 + i, 1), taxes[i]);
    QCOMPARE(w->CellInfo->ReadCellNumber(4, 14, 0), 72750.0);

    // Kind 3: the taken-over figure reaches the tax at once.
    auto &q = dm()->adoQry1;
    q.exec(QStringLiteral("insert into recal_cz (col,row,sheet,type,sValue,qsrq,zzrq) values (1,6,1,1,'370102198001010011','2010-01-01','2010-12-31')"));
    q.exec(QStringLiteral("insert into recal_cz (col,row,sheet,type,sValue,qsrq,zzrq) values (5,6,1,2,'60,000.00','2010-01-01','2010-12-31')"));
    auto c = openWindow(3, QStringLiteral("2010-01-01"), QStringLiteral("2010-12-31"));
    test::ModalDriver pick(QStringLiteral("frmSelpsn"), [](QWidget *dialog) {
        auto *picker = static_cast<TfrmSelpsn *>(dialog);
        picker->setCurrentRow(1);
        picker->bbtnOKClick();
    });
    c->TeSpBtnModifyClick();
    QVERIFY(pick.ran());
    QCOMPARE(c->CellInfo->ReadCellText(7, 18, 0), QStringLiteral("8,250.00"));
}

// A load whose first save never came (the program ended in between) leaves rows without values:
// the next load fills the form as a first load, and the save then works.
void TestRpt::periodWithoutValuesLoadsAsFirstLoad()
{
    DeclareFixture f;
    const int mapped = f.count(QStringLiteral("select * from wa_yjsheet"));
    {
        auto w = openWindow(1, kQ1Start, kQ1End);
        w->TeSpBtnInportClick();
        w->Saved = true; // as if the program ended here: no save on closing
    }
    QCOMPARE(f.count(QStringLiteral("select * from recal_yj")), mapped);
    QCOMPARE(f.count(QStringLiteral("select * from recal_yj where sValue<>''")), 0);

    auto w = openWindow(1, kQ1Start, kQ1End);
    w->TeSpBtnInportClick();
    QCOMPARE(w->CellInfo->ReadCellText(2, 3, 0), QStringLiteral("济南泉城会计师事务所（普通合伙）"));
    QCOMPARE(w->CellInfo->ReadCellText(2, 4, 1), QStringLiteral("张明"));
    QVERIFY(!w->Saved);
    QCOMPARE(f.count(QStringLiteral("select * from recal_yj")), mapped); // copied anew, not twice
    w->TeSpBtnSetupClick();
    QCOMPARE(f.value(QStringLiteral("select sValue from recal_yj where col=2 and row=3 and sheet=0")),
             QStringLiteral("济南泉城会计师事务所（普通合伙）"));
    QVERIFY(f.ui->shown.isEmpty());
}

QTEST_MAIN(TestRpt)
#include "tst_rpt.moc"
