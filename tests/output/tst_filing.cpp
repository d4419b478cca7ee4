// SPDX-License-Identifier: GPL-3.0-or-later
// Filing a form: the upload against the simulated bureau, and the sealed electronic data files.
#include "Clock.h"
#include "DeclareFixture.h"
#include "ElectronicFile.h"
#include "Filing.h"
#include "SimServer.h"
#include "TCell.h"
#include "UntMySoap.h"
#include "NumberFormat.h"
#include "md5.h"
#include "untSbjl.h"
#include "untRpt.h"

#include <QDir>
#include <QFile>
#include <QComboBox>
#include <QLabel>
#include <QTableWidget>
#include <QTest>

using namespace lw;
using test::DeclareFixture;

namespace {

const QString kCode = QStringLiteral("370102000123456");
const QString kSent = QStringLiteral("DATA_YJBB_370102000123456.xml");
const QString kNotLoaded = QStringLiteral("请先加载数据，然后再进行上传电子数据！");
const QString kNotSaved = QStringLiteral("请先保存数据，然后再进行上传电子数据！");
const QString kConfirm = QStringLiteral("是否确认上传电子数据？");
const QString kFilesDone = QStringLiteral("恭喜,生成电子数据文件成功！");
const QString kFilesFailed = QStringLiteral("生成电子数据文件失败！");

// A window of a kind for the first quarter of 2011 (the annual form: 2010), loaded and saved.
std::unique_ptr<TfrmRpt> loadedWindow(int kind = 1)
{
    auto w = std::make_unique<TfrmRpt>();
    w->ReportKind = kind;
    w->FormShow();
    if (kind == 4)
        w->setPeriod(QStringLiteral("2010-01-01"), QStringLiteral("2010-12-31"));
    else
        w->setPeriod(QStringLiteral("2011-01-01"), QStringLiteral("2011-03-31"));
    w->TeSpBtnInportClick();
    w->TeSpBtnSetupClick();
    return w;
}

void addInvestors(int upTo)
{
    for (int i = 5; i <= upTo; ++i)
        dm()->adoQry1.exec(QStringLiteral("insert into hhrtzqk (swdjjbxx_id,hhrswglm,hhr_mc,tzzxz,fp_bl,sfbqyhj,shbj) "
                                          "values ('370102000123456','3701020009%1','投资者%1','01',1,'0','Y')")
                               .arg(i, 5, 10, QLatin1Char('0')));
}

struct Fixture
{
    explicit Fixture(const QString &code = QStringLiteral("10")) : f(code)
    {
        QDir().mkpath(f.env->appPath() + QStringLiteral("tmp"));
        f.ui->setStrict(true);
    }
    QString tmpFile() const { return f.env->appPath() + QStringLiteral("tmp/") + kSent; }
    QStringList texts() const { return f.ui->texts(); }
    DeclareFixture f;
};

using Prepaid = QMap<int, double>; // sheet-1 row → 已预缴税额 (column 14)

XmlNode mainOf(const XmlDoc &doc)
{
    return doc.child(1).child(1);
}

} // namespace

class TestFiling : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        InstallFilingProcedures();
        TMySoap::setTimeouts(2, 2);
    }
    void init() { Clock::setFixed(QDateTime(QDate(2011, 4, 12), QTime(9, 0))); }
    void cleanup() { Clock::reset(); }
    void uploadRefused_data();
    void uploadRefused();
    void uploadAnswers_data();
    void uploadAnswers();
    void uploadUnreachable();
    void sealDigests_data();
    void sealDigests();
    void fileGroups_data();
    void fileGroups();
    void quarterlyRowUnderDeemedCollection();
    void annualFilePositions();
    void filesCancelledOrEmpty();
    void filingRecordWindow();
};

void TestFiling::uploadRefused_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("not loaded") << "not loaded" << QStringList{kNotLoaded};
    QTest::newRow("an open edit") << "open edit" << QStringList{kNotSaved};
    QTest::newRow("answered No") << "no" << QStringList{kConfirm};
    QTest::newRow("a key no file name may hold")
        << "bad key" << QStringList{kConfirm, QStringLiteral("税务管理码只能由字母、数字、“-”和“_”组成，请检查！")};
}

// Nothing is written under tmp/ and nothing reaches the bureau.
void TestFiling::uploadRefused()
{
    QFETCH(QString, situation);
    QFETCH(QStringList, shown);
    Fixture x;
    test::SimServer sim;
    QVERIFY(sim.start());
    test::WriteAuditCfg(sim.host());
    std::unique_ptr<TfrmRpt> w;
    if (situation == QLatin1String("not loaded")) {
        w = std::make_unique<TfrmRpt>();
        w->ReportKind = 1;
        w->FormShow();
    } else {
        w = loadedWindow();
    }
    if (situation == QLatin1String("open edit")) {
        w->CellInfo->setActiveSheet(1);
        w->CellInfo->setCurrentCell(14, 4);
        QVERIFY(w->CellInfo->beginEdit(QStringLiteral("100"), true));
    }
    x.f.ui->clear();
    if (situation == QLatin1String("no"))
        x.f.ui->answer(IdNo);
    if (situation == QLatin1String("bad key")) {
        x.f.ui->answer(IdYes);
        w->CellInfo->WriteCellText(5, 4, 0, QStringLiteral("../../etc/x"));
    }
    w->ToolButton2Click();
    QCOMPARE(x.texts(), shown);
    QVERIFY(QDir(x.f.env->appPath() + QStringLiteral("tmp")).isEmpty());
    QVERIFY(sim.request(QStringLiteral("uploadfile")).isEmpty());
    if (situation == QLatin1String("open edit"))
        QVERIFY(!w->Saved);
}

void TestFiling::uploadAnswers_data()
{
    QTest::addColumn<QString>("forced");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("fileKept");
    QTest::newRow("accepted") << "" << "恭喜,电子数据申报成功！" << false;
    QTest::newRow("version too old") << "3" << "软件版本低，请重新更新软件！" << true;
    QTest::newRow("refused") << "2" << "电子数据申报失败，请稍后再试！" << true;
}

void TestFiling::uploadAnswers()
{
    QFETCH(QString, forced);
    QFETCH(QString, message);
    QFETCH(bool, fileKept);
    Fixture x;
    test::SimServer sim;
    QVERIFY(sim.start());
    test::WriteAuditCfg(sim.host());
    if (!forced.isEmpty())
        sim.force(QStringLiteral("uploadfile"), forced);
    auto w = loadedWindow();
    w->CellInfo->WriteCellNumber(4, 8, 0, 400000);
    x.f.ui->clear();
    x.f.ui->answer(IdYes);
    w->ToolButton2Click();
    QCOMPARE(x.texts(), (QStringList{kConfirm, message}));
    QCOMPARE(QFile::exists(x.tmpFile()), fileKept);
    QVERIFY(x.f.ui->unexpected.isEmpty());
    // The filing record keeps the attempt with the bureau's answer; the status bar tells.
    QCOMPARE(x.f.value(QStringLiteral("select jllx||'|'||bblx||'|'||bbmc||'|'||qsrq||'|'||zzrq||'|'||sj||'|'||wjm||'|'||jg||'|'||cg from sbjl")),
             QStringLiteral("上传|1|季度预缴|2011-01-01|2011-03-31|2011-04-12 09:00:00|%1|%2|%3")
                 .arg(kSent, forced.isEmpty() ? QStringLiteral("1") : forced, forced.isEmpty() ? QStringLiteral("1") : QStringLiteral("0")));
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("lblFiling"))->text(),
             forced.isEmpty() ? QStringLiteral("本期已于 2011-04-12 09:00:00 上传成功") : QStringLiteral("本期尚无上传成功的记录"));
    if (forced.isEmpty()) {
        // What the bureau kept is the form as it stood.
        const XmlDoc kept = XmlDoc::fromBytes(sim.readData(QStringLiteral("uploads/") + kSent));
        QCOMPARE(kept.child(1).child(1).text(), kCode);
        QCOMPARE(kept.child(1).at({5, 0}).text(), QStringLiteral("400000"));
        QCOMPARE(kept.child(1).child(4).text(), QStringLiteral("2011-04-12"));
    } else {
        QCOMPARE(XmlDoc::fromFile(x.tmpFile()).child(1).child(1).text(), kCode);
    }
}

// The check's failure is reported, the upload is tried all the same and fails.
void TestFiling::uploadUnreachable()
{
    Fixture x;
    test::WriteAuditCfg(QStringLiteral("127.0.0.1:%1").arg(test::SimServer::unusedPort()));
    auto w = loadedWindow();
    x.f.ui->clear();
    x.f.ui->answer(IdYes);
    w->ToolButton2Click();
    QCOMPARE(x.texts(), (QStringList{kConfirm, QStringLiteral("无法连接到指定的Web服务器，请稍后再试！"),
                                     QStringLiteral("电子数据申报失败，请稍后再试！")}));
    QVERIFY(QFile::exists(x.tmpFile()));
}

// Digests computed outside the project (coreutils md5sum); the RFC 1321 test suite's vectors
// show the digest itself.
void TestFiling::sealDigests_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<double>("total");
    QTest::addColumn<QString>("digest");
    QTest::newRow("rfc: empty") << "" << qQNaN() << "d41d8cd98f00b204e9800998ecf8427e";
    QTest::newRow("rfc: abc") << "abc" << qQNaN() << "900150983cd24fb0d6963f7d28e17f72";
    QTest::newRow("rfc: message digest") << "message digest" << qQNaN() << "f96b697d7cb7938d525a2f31aaf161d0";
    QTest::newRow("rfc: 80 digits")
        << "12345678901234567890123456789012345678901234567890123456789012345678901234567890" << qQNaN()
        << "57edf4a22be3c955ac49da2e2107b67a";
    QTest::newRow("total 1500") << kCode << 1500.0 << "6e9ab71edebe81d51f0f37b459bc3300";
    QTest::newRow("total 0") << kCode << 0.0 << "b1c0a5b054ed5456275b5ba8bfa64913";
    QTest::newRow("total -12.5") << kCode << -12.5 << "6d5e87a808a890488dce1ef4951b5d86";
    QTest::newRow("total -0.001 shows 0.00") << kCode << -0.001 << "b1c0a5b054ed5456275b5ba8bfa64913";
}

void TestFiling::sealDigests()
{
    QFETCH(QString, code);
    QFETCH(double, total);
    QFETCH(QString, digest);
    QCOMPARE(qIsNaN(total) ? Md5Hex(code.toUtf8()) : Seal(code, total), digest);
}

void TestFiling::fileGroups_data()
{
    QTest::addColumn<int>("investors");
    QTest::addColumn<Prepaid>("prepaid");
    QTest::addColumn<int>("blankRow");               // a row whose code is blanked; 0 for none
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QStringList>("totals");
    QTest::newRow("20 investors, a blank row not summed")
        << 20 << Prepaid{{5, 12.5}, {6, -1000}} << 6 << QStringList{"F.xml"} << QList<int>{19}
        << QStringList{"-12.50"};
    QTest::newRow("21 investors, each file its own seal")
        << 21 << Prepaid{{24, -1500}} << 0 << QStringList{"F(0).xml", "F(1).xml"} << QList<int>{20, 1}
        << QStringList{"0.00", "1500.00"};
    QTest::newRow("45 investors") << 45 << Prepaid{} << 0 << QStringList{"F(0).xml", "F(1).xml", "F(2).xml"}
                                  << QList<int>{20, 20, 5} << QStringList{"0.00", "0.00", "0.00"};
    QTest::newRow("55 investors: up to the last investor row")
        << 55 << Prepaid{} << 0 << QStringList{"F(0).xml", "F(1).xml", "F(2).xml"} << QList<int>{20, 20, 10}
        << QStringList{"0.00", "0.00", "0.00"};
}

void TestFiling::fileGroups()
{
    QFETCH(int, investors);
    QFETCH(Prepaid, prepaid);
    QFETCH(int, blankRow);
    QFETCH(QStringList, names);
    QFETCH(QList<int>, rows);
    QFETCH(QStringList, totals);
    Fixture x;
    addInvestors(investors);
    auto w = loadedWindow();
    for (auto it = prepaid.cbegin(); it != prepaid.cend(); ++it)
        w->CellInfo->WriteCellNumber(14, it.key(), 1, it.value());
    if (blankRow)
        w->CellInfo->WriteCellText(1, blankRow, 1, QStringLiteral("  "));
    QTemporaryDir out;
    x.f.ui->clear();
    x.f.ui->answerFileName(out.filePath(QStringLiteral("F")));
    w->ToolButton1Click();
    QCOMPARE(x.texts(), QStringList{kFilesDone});
    QCOMPARE(x.f.ui->saveDialogs.size(), 1);
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), names);
    for (int i = 0; i < names.size(); ++i) {
        const XmlDoc doc = XmlDoc::fromFile(out.filePath(names.at(i)));
        const XmlNode main = mainOf(doc);
        QCOMPARE(main.child(2).text(), QStringLiteral("31340"));
        QCOMPARE(main.child(4).text(), QStringLiteral("2011-01-01"));
        QCOMPARE(main.child(6).text(), QStringLiteral("Q01_15"));
        QCOMPARE(main.child(8).childCount(), rows.at(i));
        QCOMPARE(main.child(7).text(), Md5Hex((kCode + totals.at(i)).toUtf8()));
    }
    QStringList paths;
    for (const QString &n : names)
        paths << out.filePath(n);
    QCOMPARE(x.f.value(QStringLiteral("select jllx||'|'||wjm from sbjl")), QStringLiteral("电子文件|") + paths.join(QLatin1Char('\n')));
}

// Taxable income goes into the quarterly file under audit-based collection only.
void TestFiling::quarterlyRowUnderDeemedCollection()
{
    for (const QString &code : {QStringLiteral("10"), QStringLiteral("20")}) {
        Fixture x(code);
        auto w = loadedWindow();
        w->CellInfo->WriteCellNumber(4, 8, 0, 600000);
        w->CellInfo->WriteCellNumber(4, 12, 0, 10);
        w->CellInfo->WriteCellNumber(4, 9, 0, 200000);
        w->CellInfo->RecalculateWorkbook();
        const ElectronicFileHeader header{QStringLiteral("2011-01-01"), QStringLiteral("2011-03-31"), QStringLiteral("Q01_15"),
                                          code == QLatin1String("10")};
        const auto files = BuildElectronicFiles(x.f.env->appPath() + QStringLiteral("rpt/CSJY_A.xml"), *w->CellInfo,
                                                QuarterlyFileLayout(), header, 4);
        QCOMPARE(files.size(), size_t(1));
        const XmlNode row = mainOf(files.front()).at({8, 0});
        QCOMPARE(row.child(0).text(), QStringLiteral("370102198001010011"));
        QCOMPARE(row.child(1).text(), QStringLiteral("600000"));
        QCOMPARE(row.child(4).text(), QStringLiteral("40"));
        QCOMPARE(row.child(6).text(), code == QLatin1String("10") ? FormatGeneral(w->CellInfo->ReadCellNumber(9, 4, 1)) : QStringLiteral("0"));
        QCOMPARE(row.child(8).text(), QStringLiteral("10"));
        QCOMPARE(row.child(16).text(), FormatGeneral(w->CellInfo->ReadCellNumber(15, 4, 1)));
        QCOMPARE(mainOf(files.front()).child(3).text(), w->CellInfo->ReadCellText(6, 6, 0));
    }
}

// The annual file reads the lines of the audit-based form in order, and the attached figures.
void TestFiling::annualFilePositions()
{
    Fixture x;
    auto w = loadedWindow(4);
    w->CellInfo->WriteCellNumber(4, 8, 0, 1200000);  // line 1
    w->CellInfo->WriteCellNumber(4, 11, 0, 950000);  // line 4
    w->CellInfo->WriteCellNumber(4, 21, 0, 30000);   // line 14
    w->CellInfo->WriteCellNumber(4, 46, 0, 10000);   // line 39
    w->CellInfo->WriteCellNumber(4, 54, 0, 360000);  // 工资总额
    w->CellInfo->WriteCellNumber(4, 55, 0, 12);      // 年平均职工人数
    w->CellInfo->WriteCellNumber(15, 5, 1, 500);     // prepaid by the first partner
    QTemporaryDir out;
    x.f.ui->clear();
    x.f.ui->answerFileName(out.filePath(QStringLiteral("年度")));
    w->ToolButton1Click();
    QCOMPARE(x.texts(), QStringList{kFilesDone});
    const XmlDoc doc = XmlDoc::fromFile(out.filePath(QStringLiteral("年度.xml")));
    const XmlNode main = mainOf(doc);
    QCOMPARE(main.child(2).text(), QStringLiteral("31341"));
    QCOMPARE(main.child(3).text(), QStringLiteral("10"));
    QCOMPARE(main.child(5).text(), QStringLiteral("2010-12-31"));
    QCOMPARE(main.child(7).childCount(), 4);
    const XmlNode row = main.at({7, 0});
    const QStringList expected = {"370102198001010011", "12", "360000", "4", "1200000"};
    for (int p = 0; p < expected.size(); ++p)
        QCOMPARE(row.child(p).text(), expected.at(p));
    QCOMPARE(row.child(7).text(), QStringLiteral("950000"));    // line 4
    QCOMPARE(row.child(14).text(), QStringLiteral("250000"));   // line 11
    QCOMPARE(row.child(17).text(), QStringLiteral("30000"));    // line 14
    QCOMPARE(row.child(41).text(), QStringLiteral("280000"));   // line 38
    QCOMPARE(row.child(42).text(), QStringLiteral("10000"));    // line 39
    QCOMPARE(row.child(43).text(), QStringLiteral("40"));
    QCOMPARE(row.child(51).text(), QStringLiteral("500"));
    double total = 0;
    for (int r = 5; r <= 8; ++r)
        total += w->CellInfo->ReadCellNumber(19, r, 1);
    QCOMPARE(row.child(54).text(), FormatGeneral(w->CellInfo->ReadCellNumber(19, 5, 1)));
    QCOMPARE(main.child(6).text(), Md5Hex((kCode + QString::number(total, 'f', 2)).toUtf8()));
}

void TestFiling::filesCancelledOrEmpty()
{
    {
        Fixture x;
        auto w = loadedWindow();
        x.f.ui->clear();
        x.f.ui->answerFileName(QString());
        w->ToolButton1Click();
        QVERIFY(x.texts().isEmpty());
        QCOMPARE(x.f.ui->saveDialogs.size(), 1);
    }
    {
        Fixture x;
        dm()->adoQry1.exec(QStringLiteral("delete from hhrtzqk"));
        auto w = loadedWindow();
        QTemporaryDir out;
        x.f.ui->clear();
        x.f.ui->answerFileName(out.filePath(QStringLiteral("F")));
        w->ToolButton1Click();
        QCOMPARE(x.texts(), QStringList{kFilesFailed});
        QVERIFY(QDir(out.path()).isEmpty());
    }
    {
        // The consolidated declaration has no file format: nothing at all happens.
        Fixture x;
        TfrmRpt w;
        w.ReportKind = 3;
        w.FormShow();
        w.CellInfo->WriteCellText(3, 3, 0, QStringLiteral("张明"));
        x.f.ui->clear();
        w.ToolButton1Click();
        QVERIFY(x.texts().isEmpty());
        QVERIFY(x.f.ui->saveDialogs.isEmpty());
    }
}

// Newest first, filtered by kind, exported.
void TestFiling::filingRecordWindow()
{
    Fixture x;
    auto &q = dm()->adoQry1;
    q.exec(QStringLiteral("insert into sbjl (jllx,bblx,bbmc,qsrq,zzrq,sj,wjm,jg,cg) values "
                          "('上传',1,'季度预缴','2011-01-01','2011-03-31','2011-04-12 09:00:00','DATA_YJBB_1.xml','2',0)"));
    q.exec(QStringLiteral("insert into sbjl (jllx,bblx,bbmc,qsrq,zzrq,sj,wjm,jg,cg) values "
                          "('上传',1,'季度预缴','2011-01-01','2011-03-31','2011-04-13 10:00:00','DATA_YJBB_1.xml','1',1)"));
    q.exec(QStringLiteral("insert into sbjl (jllx,bblx,bbmc,qsrq,zzrq,sj,wjm,jg,cg) values "
                          "('电子文件',4,'年度汇缴','2010-01-01','2010-12-31','2011-04-12 11:00:00','/a/F.xml','',1)"));
    TfrmSbjl w;
    QCOMPARE(w.DBGridEh1->rowCount(), 3);
    QCOMPARE(w.DBGridEh1->item(0, 0)->text(), QStringLiteral("2011-04-13 10:00:00"));
    QCOMPARE(w.DBGridEh1->item(0, 6)->text(), QStringLiteral("上传成功"));
    QCOMPARE(w.DBGridEh1->item(1, 6)->text(), QStringLiteral("已生成"));
    QCOMPARE(w.DBGridEh1->item(2, 6)->text(), QStringLiteral("上传失败：2"));
    w.cbKind->setCurrentIndex(4);
    QCOMPARE(w.DBGridEh1->rowCount(), 1);
    QCOMPARE(w.DBGridEh1->item(0, 1)->text(), QStringLiteral("电子文件"));
    QTemporaryDir out;
    x.f.ui->answerFileName(out.filePath(QStringLiteral("记录")));
    w.TeSpBtnExportClick();
    QVERIFY(QFile::exists(out.filePath(QStringLiteral("记录.xlsx"))));
}

QTEST_MAIN(TestFiling)
#include "tst_filing.moc"
