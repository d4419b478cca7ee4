// SPDX-License-Identifier: GPL-3.0-or-later
// The partnership tables window and its record dialog: rows from picked investors, the filing
// date stamp, deleting, the upload documents by position and the uploads against the simulator.
#include "ModalDriver.h"
#include "ScriptedInteraction.h"
#include "SimServer.h"
#include "TestEnv.h"
#include "UntHhrqk.h"
#include "UntHhrqkDetail.h"
#include "Workbook.h"
#include "XlsxReader.h"
#include "XmlDoc.h"
#include "Clock.h"
#include "untDm.h"
#include "untPsnDetail.h"
#include "untSelpsn.h"

#include <QFile>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QTableWidget>
#include <QCoreApplication>
#include <QTest>

using namespace lw;

namespace {
const QString kCode = QStringLiteral("440106700012345");
}

class TestHhrqk : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void pickedPartnersAddedOnce_data();
    void pickedPartnersAddedOnce();
    void recordDialog_data();
    void recordDialog();
    void deleteAndDeleteAll();
    void newMemberThroughDetailDialog();
    void documents_data();
    void documents();
    void upload_data();
    void upload();
    void uploadStopsBeforeSending();
    void exportWritesWorkbook();
    void withdrawalDateHint_data();
    void withdrawalDateHint();

private:
    int count(const QString &sql);
    std::unique_ptr<test::TestEnv> m_env;
    std::unique_ptr<test::ScriptedInteraction> m_ui;
    std::unique_ptr<Tdm> m_dm;
};

void TestHhrqk::init()
{
    m_env = std::make_unique<test::TestEnv>();
    m_env->copyFromStage(QStringLiteral("rpt"));
    m_env->copyFromStage(QStringLiteral("running.gif"));
    QDir(m_env->appPath()).mkpath(QStringLiteral("tmp"));
    m_ui = std::make_unique<test::ScriptedInteraction>();
    m_dm = std::make_unique<Tdm>();
    Clock::setFixed(QDateTime(QDate(2026, 3, 31), QTime(9, 0)));
    auto &q = dm()->adoQry1;
    q.exec(QStringLiteral("insert into psn (swglm, nsr_mc) values ('440106700012345','广州市穗禾咨询服务合伙企业')"));
    q.exec(QStringLiteral("insert into hhrtzqk (swdjjbxx_id,hhrswglm,hhr_mc,tz_je,rz_rq,cj_rq) values "
                          "('440106700012345','440106000000001','张三',1000,'2020-01-01','2025-12-31'),"
                          "('440106700012345','440106000000002','李四',2500.5,'2021-06-01',null),"
                          "('440106700012345','440106000000003','王五',null,null,null)"));
    q.exec(QStringLiteral("insert into hhqymx (swdjjbxx_id,hhrswglm,hhr_mc,tz_je,tz_bl,tzzxz) values "
                          "('P-1','A1','甲',100,null,'01'),('P-1','A2','乙',null,25,'02'),('P-2','B1','丙',5,5,'01')"));
}

void TestHhrqk::cleanup()
{
    Tfrmhhrqk::setUploadLogin({});
    Clock::reset();
    m_dm.reset();
    m_ui.reset();
    m_env.reset();
}

int TestHhrqk::count(const QString &sql)
{
    dm()->ADOQuery1.select(sql);
    return dm()->ADOQuery1.RecordCount();
}

void TestHhrqk::pickedPartnersAddedOnce_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("settlement") << 1;
    QTest::newRow("share transfer") << 2;
}

void TestHhrqk::pickedPartnersAddedOnce()
{
    QFETCH(int, kind);
    Tfrmhhrqk w;
    w.TableKind = kind;
    w.FormShow();
    // Codes are listed descending: rows 1 and 2 are 李四 and 张三.
    for (int run = 0; run < 2; ++run) {
        test::ModalDriver pick(QStringLiteral("frmSelpsn"), [](QWidget *dialog) {
            auto *picker = static_cast<TfrmSelpsn *>(dialog);
            QVERIFY(picker->findChild<QWidget *>(QStringLiteral("cbAll"))->isVisible());
            QCOMPARE(picker->findChild<QTableWidget *>(QStringLiteral("DBGridEh1"))->horizontalHeaderItem(0)->text(), QString());
            picker->setTicked(1, true);
            picker->setTicked(2, true);
            picker->bbtnOKClick();
        });
        w.TeSpBtnSelectClick();
        QVERIFY(pick.ran());
        // Let the driver's clean-up run before the next picker of the same name opens.
        QCoreApplication::processEvents();
    }
    QCOMPARE(w.rowCount(), 2);
    QCOMPARE(w.grid()->isVisibleTo(&w), true);
    auto &q = dm()->ADOQuery1;
    if (kind == 1) {
        q.select(QStringLiteral("select * from thjs where hhrswglm='440106000000001'"));
        QCOMPARE(q.text(QStringLiteral("hhr_mc")), QStringLiteral("张三"));
        QCOMPARE(q.text(QStringLiteral("hhqy_mc")), QStringLiteral("广州市穗禾咨询服务合伙企业"));
        QCOMPARE(q.text(QStringLiteral("hhqy_swglm")), kCode);
        QCOMPARE(q.FieldByName(QStringLiteral("rhje")).toDouble(), 1000.0);
        QCOMPARE(q.text(QStringLiteral("rhsj")), QStringLiteral("2020-01-01"));
        QCOMPARE(q.text(QStringLiteral("thsj")), QStringLiteral("2025-12-31"));
    } else {
        q.select(QStringLiteral("select * from hhfezrns where zrr_swglm='440106000000002'"));
        QCOMPARE(q.text(QStringLiteral("zrr_mc")), QStringLiteral("李四"));
        QCOMPARE(q.text(QStringLiteral("hhqy_mc")), QStringLiteral("广州市穗禾咨询服务合伙企业"));
        QCOMPARE(q.text(QStringLiteral("hhqy_swglm")), kCode);
        for (const char *c : {"srr_mc", "srr_swglm", "hhqyzzc", "zrje", "jnsj", "tbsj"})
            QVERIFY2(q.FieldByName(QLatin1String(c)).isNull(), c);
    }
}

void TestHhrqk::recordDialog_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("typed"); // empty: OK without editing
    QTest::addColumn<QString>("storedAfter");
    QTest::addColumn<QString>("tbsj");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("jnsjBefore");
    QTest::addColumn<QString>("jnsjAfter");

    QTest::newRow("unchanged keeps tbsj") << 1 << "jssk" << "" << "" << "2020-01-01" << QStringList{} << "2026/1/2" << "2026/1/2";
    QTest::newRow("settlement tax stamps tbsj") << 1 << "jssk" << "350.5" << "350.5" << "2026-03-31" << QStringList{} << "" << "";
    QTest::newRow("stored payment date normalised") << 1 << "jssk" << "1" << "1" << "2026-03-31" << QStringList{} << "2026/1/2"
                                                    << "2026-01-02";
    QTest::newRow("payment date chosen") << 1 << "jnsj" << "2026-03-05" << "2026-03-05" << "2026-03-31" << QStringList{} << ""
                                         << "2026-03-05";
    QTest::newRow("payment date cleared") << 2 << "jnsj" << "clear" << "" << "2026-03-31" << QStringList{} << "2026-01-02" << "";
    QTest::newRow("stored text no date kept") << 1 << "jssk" << "2" << "2" << "2026-03-31" << QStringList{} << "待定" << "待定";
    QTest::newRow("transferee") << 2 << "srr_mc" << "赵六" << "赵六" << "2026-03-31" << QStringList{} << "" << "";
    QTest::newRow("amount not a number") << 2 << "zrje" << "abc" << "" << "2020-01-01" << QStringList{"“abc”不是有效的数值！"} << "" << "";
    for (const char *text : {"inf", "-inf", "nan", "1e400"})
        QTest::addRow("amount %s", text) << 1 << "jssk" << text << "" << "2020-01-01"
                                         << QStringList{QStringLiteral("“%1”不是有效的数值！").arg(QLatin1String(text))} << "" << "";
}

void TestHhrqk::recordDialog()
{
    QFETCH(int, kind);
    QFETCH(QString, column);
    QFETCH(QString, typed);
    QFETCH(QString, storedAfter);
    QFETCH(QString, tbsj);
    QFETCH(QStringList, messages);
    QFETCH(QString, jnsjBefore);
    QFETCH(QString, jnsjAfter);
    const QString table = kind == 1 ? QStringLiteral("thjs") : QStringLiteral("hhfezrns");
    dm()->adoQry1.exec(QStringLiteral("insert into %1 (id,hhqy_swglm,tbsj,jnsj) values (7,'440106700012345','2020-01-01',%2)")
                           .arg(table, jnsjBefore.isEmpty() ? QStringLiteral("null") : QuotedStr(jnsjBefore)));
    TfrmHhrqkDetail detail;
    detail.TableKind = kind;
    detail.OpenRow(7);
    QVERIFY(!detail.edit(QStringLiteral("hhqy_swglm"))->isEnabled());
    // The payment date is a date editor with a calendar, which may be left empty.
    QVERIFY(detail.dateEdit()->calendarPopup());
    QCOMPARE(detail.dateEdit()->text().trimmed().isEmpty(), jnsjBefore.isEmpty() || jnsjBefore == QStringLiteral("待定"));
    if (column == QLatin1String("jnsj")) {
        if (typed == QLatin1String("clear"))
            detail.findChild<QToolButton *>(QStringLiteral("fe_jnsj_clear"))->click();
        else
            detail.dateEdit()->setDate(QDate::fromString(typed, Qt::ISODate));
    } else if (!typed.isEmpty()) {
        detail.edit(column)->setText(typed);
        emit detail.edit(column)->textEdited(typed);
    }
    detail.bbtnOKClick();
    QCOMPARE(m_ui->texts(), messages);
    QCOMPARE(detail.result(), messages.isEmpty() ? int(QDialog::Accepted) : int(QDialog::Rejected));
    auto &q = dm()->ADOQuery1;
    q.select(QStringLiteral("select * from %1 where id=7").arg(table));
    QCOMPARE(q.text(QStringLiteral("tbsj")), tbsj);
    const QVariant v = q.FieldByName(column);
    QCOMPARE(v.typeId() == QMetaType::Double ? QString::number(v.toDouble()) : v.toString(), storedAfter);
    // An empty payment date stays empty.
    QCOMPARE(q.text(QStringLiteral("jnsj")), jnsjAfter);
    QCOMPARE(q.FieldByName(QStringLiteral("jnsj")).isNull(), jnsjAfter.isEmpty());
}

void TestHhrqk::deleteAndDeleteAll()
{
    Tfrmhhrqk w;
    w.PrepareMemberList(QStringLiteral("P-1"));
    w.FormShow();
    QCOMPARE(w.rowCount(), 2);
    m_ui->answer(IdNo);
    w.TeSpBtnDeleteClick();
    QCOMPARE(w.rowCount(), 2);
    m_ui->answer(IdYes);
    w.setCurrentRow(1);
    w.TeSpBtnDeleteClick();
    QCOMPARE(w.rowCount(), 1);
    QCOMPARE(w.currentRow().value(QStringLiteral("hhrswglm")).toString(), QStringLiteral("A1"));
    m_ui->answer(IdYes);
    w.TeSpBtnDeleteAllClick();
    QCOMPARE(w.rowCount(), 0);
    QCOMPARE(m_ui->texts(), (QStringList{"是否确定删除该条记录？", "是否确定删除该条记录？", "是否确定删除全部记录？"}));
    // Only the current partner's members go; an empty list asks nothing.
    QCOMPARE(count(QStringLiteral("select * from hhqymx where swdjjbxx_id='P-2'")), 1);
    w.TeSpBtnDeleteAllClick();
    w.TeSpBtnDeleteClick();
    w.TeSpBtnModifyClick();
    QCOMPARE(m_ui->texts().size(), 3);
}

void TestHhrqk::newMemberThroughDetailDialog()
{
    Tfrmhhrqk w;
    w.PrepareMemberList(QStringLiteral("P-2"));
    w.FormShow();
    test::ModalDriver add(QStringLiteral("frmPsnDetail"), [](QWidget *dialog) {
        auto *detail = static_cast<TfrmPsnDetail *>(dialog);
        QLineEdit *name = detail->edit(QStringLiteral("mx"), QStringLiteral("hhr_mc"));
        name->setText(QStringLiteral("丁"));
        emit name->textEdited(name->text());
        detail->bbtnOKClick();
    });
    w.TeSpBtnNewClick();
    QVERIFY(add.ran());
    QCoreApplication::processEvents();
    QCOMPARE(w.rowCount(), 2);
    QCOMPARE(count(QStringLiteral("select * from hhqymx where swdjjbxx_id='P-2' and hhr_mc='丁'")), 1);
    w.setCurrentRow(1);
    test::ModalDriver modify(QStringLiteral("frmPsnDetail"), [](QWidget *dialog) {
        auto *detail = static_cast<TfrmPsnDetail *>(dialog);
        QCOMPARE(detail->edit(QStringLiteral("mx"), QStringLiteral("hhr_mc"))->text(), QStringLiteral("丁"));
        detail->reject();
    });
    w.TeSpBtnModifyClick();
    QVERIFY(modify.ran());
}

void TestHhrqk::documents_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("empty");
    QTest::newRow("settlement") << 1 << false;
    QTest::newRow("settlement, empty table") << 1 << true;
    QTest::newRow("share transfer") << 2 << false;
    QTest::newRow("members") << 3 << false;
    QTest::newRow("members, none") << 3 << true;
}

void TestHhrqk::documents()
{
    QFETCH(int, kind);
    QFETCH(bool, empty);
    QList<QVariantMap> rows;
    QStringList header;
    QList<QStringList> expected;
    if (kind == 1) {
        if (!empty) {
            rows << QVariantMap{{"hhqy_swglm", kCode}, {"hhqy_mc", "穗禾"}, {"hhrswglm", "C1"}, {"hhr_mc", "张三"}, {"thsj", "2025-12-31"},
                                {"rhsj", "2020-01-01"}, {"rhje", 1000.0}, {"thje", QVariant()}, {"thsm", "退休"}, {"jssk", 12.5},
                                {"jnsj", "2026-01-05"}, {"wsh", "W1"}, {"tbsj", "2026-03-31"}}
                 << QVariantMap{{"hhqy_swglm", "other"}, {"hhrswglm", "C2"}, {"rhje", QVariant()}};
            expected << QStringList{"C1", "张三", "2025-12-31", "2020-01-01", "1000", "0.00", "退休", "12.5", "2026-01-05", "W1", "2026-03-31"}
                     << QStringList{"C2", "", "", "", "0.00", "0.00", "", "0.00", "", "", ""};
            header << kCode << "穗禾";
        } else {
            header << "" << "";
        }
    } else if (kind == 2) {
        rows << QVariantMap{{"hhqy_swglm", kCode}, {"hhqy_mc", "穗禾"}, {"zrr_swglm", "Z1"}, {"zrr_mc", "李四"}, {"srr_swglm", "S1"},
                            {"srr_mc", "赵六"}, {"hhqyzzc", 1e6}, {"zrhhrzyfe", 0.3}, {"zrfe", 0.1}, {"zrje", 120000.0},
                            {"feqdcb", 100000.0}, {"ynsds", 4000.0}, {"jnsj", "2026-02-01"}, {"wspz", "P9"}, {"tbsj", "2026-03-31"}};
        expected << QStringList{"Z1", "李四", "S1", "赵六", "1000000", "0.3", "0.1", "120000", "100000", "4000", "2026-02-01", "P9", "2026-03-31"};
        header << kCode << "穗禾";
    } else {
        if (!empty) {
            rows << QVariantMap{{"swdjjbxx_id", "P-1"}, {"hhrswglm", "A1"}, {"hhr_mc", "甲"}, {"zjhm", "Z"}, {"tzzdz", "地址"},
                                {"tz_je", 100.0}, {"tz_bl", QVariant()}, {"fp_bl", 50.0}, {"tzzxz", "01"}, {"czfs", "1"}, {"lxfs", "139"}};
            expected << QStringList{"A1", "甲", "Z", "地址", "100", "0.00", "50", "01", "1", "139"};
            header << "P-1";
        } else {
            header << "";
        }
    }
    const QString base = kind == 1 ? "DATA_THJS" : kind == 2 ? "DATA_HHFEZRNSQK" : "DATA_HHQYMX";
    const QString out = m_env->appPath() + QStringLiteral("tmp/out.xml");
    Tfrmhhrqk::FillDocument(kind, m_env->appPath() + QStringLiteral("rpt/") + base + QStringLiteral(".xml"), rows, out);

    const XmlDoc doc = XmlDoc::fromFile(out);
    const XmlNode root = doc.child(1);
    QCOMPARE(root.child(0).text(), QStringLiteral("1.0"));
    for (int i = 0; i < header.size(); ++i)
        QCOMPARE(root.child(i + 1).text(), header.at(i));
    const XmlNode list = root.child(int(header.size()) + 1);
    QCOMPARE(list.childCount(), int(expected.size()));
    for (int r = 0; r < expected.size(); ++r) {
        QCOMPARE(list.child(r).childCount(), int(expected.at(r).size()));
        for (int p = 0; p < expected.at(r).size(); ++p)
            QCOMPARE(list.child(r).child(p).text(), expected.at(r).at(p));
    }
}

void TestHhrqk::upload_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("forced");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("localFileStays");
    QTest::newRow("settlement sent") << 1 << "" << "DATA_THJS_440106700012345.xml" << "恭喜,电子数据上传成功！" << false;
    QTest::newRow("transfers sent") << 2 << "" << "DATA_HHFEZRNSQK_440106700012345.xml" << "恭喜,电子数据上传成功！" << false;
    QTest::newRow("members named after the partner") << 3 << "" << "DATA_HHQYMX_P-1.xml" << "恭喜,电子数据上传成功！" << false;
    QTest::newRow("old version") << 1 << "3" << "DATA_THJS_440106700012345.xml" << "软件版本低，请重新更新软件！" << true;
    QTest::newRow("refused") << 2 << "2" << "DATA_HHFEZRNSQK_440106700012345.xml" << "电子数据上传失败，请稍后再试！" << true;
}

void TestHhrqk::upload()
{
    QFETCH(int, kind);
    QFETCH(QString, forced);
    QFETCH(QString, fileName);
    QFETCH(QString, message);
    QFETCH(bool, localFileStays);
    test::SimServer sim;
    QVERIFY(sim.start());
    test::WriteAuditCfg(sim.host());
    if (!forced.isEmpty())
        sim.force(QStringLiteral("uploadfile"), forced);
    auto &q = dm()->adoQry1;
    q.exec(QStringLiteral("insert into thjs (hhrswglm,hhqy_swglm,hhqy_mc,rhje) values ('C1','440106700012345','穗禾',1000)"));
    q.exec(QStringLiteral("insert into hhfezrns (zrr_swglm,hhqy_swglm,hhqy_mc) values ('Z1','440106700012345','穗禾')"));
    Tfrmhhrqk::setUploadLogin([](QString &code, QString &password) {
        code = kCode;
        password = QStringLiteral("123456");
        return true;
    });
    Tfrmhhrqk w;
    if (kind == 3)
        w.PrepareMemberList(QStringLiteral("P-1"));
    else
        w.TableKind = kind;
    w.FormShow();
    w.TeSpBtnUploadClick();
    QCOMPARE(m_ui->texts(), QStringList{message});
    QCOMPARE(QFile::exists(m_env->appPath() + QStringLiteral("tmp/") + fileName), localFileStays);
    if (!forced.isEmpty())
        return;
    const XmlDoc sent = XmlDoc::fromBytes(sim.readData(QStringLiteral("uploads/") + fileName));
    const XmlNode root = sent.child(1);
    QCOMPARE(root.child(1).text(), kind == 3 ? QStringLiteral("P-1") : kCode);
    const XmlNode list = root.child(kind == 3 ? 2 : 3);
    QCOMPARE(list.childCount(), kind == 3 ? 2 : 1);
    QCOMPARE(list.child(0).child(0).text(), kind == 1 ? QStringLiteral("C1") : kind == 2 ? QStringLiteral("Z1") : QStringLiteral("A1"));
    // The tables are not touched by an upload.
    QCOMPARE(count(QStringLiteral("select * from thjs")), 1);
}

void TestHhrqk::uploadStopsBeforeSending()
{
    test::SimServer sim;
    QVERIFY(sim.start());
    test::WriteAuditCfg(sim.host());
    Tfrmhhrqk w;
    w.TableKind = 1;
    w.FormShow();
    w.TeSpBtnUploadClick(); // no login installed: refused
    QString typed = QStringLiteral("../../etc/x");
    Tfrmhhrqk::setUploadLogin([&typed](QString &code, QString &) { code = typed; return true; });
    w.TeSpBtnUploadClick();
    QCOMPARE(m_ui->texts(), QStringList{"税务管理码只能由字母、数字、“-”和“_”组成，请检查！"});
    QVERIFY(QDir(m_env->appPath() + QStringLiteral("tmp")).isEmpty());
    // A template without the row list ends the upload before anything is written or sent.
    typed = kCode;
    m_env->writeFile(QStringLiteral("rpt/DATA_THJS.xml"), "<?xml version=\"1.0\" encoding=\"UTF-8\"?><thjsxx><bbh/><a/><b/></thjsxx>");
    QVERIFY_THROWS_EXCEPTION(XmlError, w.TeSpBtnUploadClick());
    QVERIFY(QDir(m_env->appPath() + QStringLiteral("tmp")).isEmpty());
    QVERIFY(sim.request(QStringLiteral("uploadfile")).isEmpty());
}

void TestHhrqk::exportWritesWorkbook()
{
    dm()->adoQry1.exec(QStringLiteral("insert into thjs (hhrswglm,hhr_mc,rhje) values ('C1','张三',1000)"));
    Tfrmhhrqk w;
    w.TableKind = 1;
    w.FormShow();
    const QString path = m_env->appPath() + QStringLiteral("tmp/thjs");
    m_ui->answerFileName(path);
    w.TeSpBtnExportClick();
    QFile file(path + QStringLiteral(".xlsx"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(2), QByteArray("PK"));
    Workbook book;
    QString error;
    QVERIFY2(readXlsxFile(file.fileName(), book, &error), qPrintable(error));
    QCOMPARE(book.readText(1, 1, 0), QStringLiteral("合伙人名称"));
    QCOMPARE(book.readText(13, 1, 0), QStringLiteral("填报日期"));
    QCOMPARE(book.readText(1, 2, 0), QStringLiteral("张三"));
    // Amounts are numbers in the money format, so a sum in Excel adds them.
    const Cell *amount = book.cell(7, 2, 0);
    QVERIFY(amount && amount->value.type == ValueType::Number);
    QCOMPARE(amount->value.number, 1000.0);
    QCOMPARE(book.readText(7, 2, 0), QStringLiteral("1,000.00"));
    QCOMPARE(book.cell(1, 2, 0)->value.type, ValueType::Text);
    QCOMPARE(m_ui->saveDialogs.size(), 1);
    // A typed ".xls" gives the ".xlsx" file the content is.
    m_ui->answerFileName(m_env->appPath() + QStringLiteral("tmp/typed.XLS"));
    w.TeSpBtnExportClick();
    QVERIFY(QFile::exists(m_env->appPath() + QStringLiteral("tmp/typed.xlsx")));
    QVERIFY(!QFile::exists(m_env->appPath() + QStringLiteral("tmp/typed.XLS")));
    w.TeSpBtnExportClick(); // cancelled: nothing written, nothing shown
    QCOMPARE(m_ui->texts(), QStringList{});
}

void TestHhrqk::withdrawalDateHint_data()
{
    QTest::addColumn<QString>("thsj");
    QTest::addColumn<bool>("hint");
    QTest::newRow("leaving date known") << "2025-12-31" << false;
    QTest::newRow("no cj_rq downloaded") << "" << true;
}

void TestHhrqk::withdrawalDateHint()
{
    QFETCH(QString, thsj);
    QFETCH(bool, hint);
    dm()->adoQry1.exec(QStringLiteral("insert into thjs (id,hhrswglm,thsj) values (9,'C1',%1)")
                           .arg(thsj.isEmpty() ? QStringLiteral("null") : QuotedStr(thsj)));
    TfrmHhrqkDetail detail;
    detail.TableKind = 1;
    detail.OpenRow(9);
    detail.show();
    auto *label = detail.findChild<QLabel *>(QStringLiteral("thjs_thsj_hint"));
    QVERIFY(label);
    QCOMPARE(label->isVisible(), hint);
    QCOMPARE(detail.edit(QStringLiteral("thsj"))->text(), thsj);
}

QTEST_MAIN(TestHhrqk)
#include "tst_hhrqk.moc"
