// SPDX-License-Identifier: GPL-3.0-or-later
// The enterprise and investor window: download against the bureau simulator, the import of the
// answer (defaults, cuts, completeness, malformed documents), the upload's refusals and results,
// the subclass rule and the export.
#include "ModalDriver.h"
#include "ScriptedInteraction.h"
#include "SimServer.h"
#include "TestEnv.h"
#include "UntMySoap.h"
#include "Workbook.h"
#include "XlsxReader.h"
#include "ExchangeDoc.h"
#include "XmlDoc.h"
#include "untDm.h"
#include "untProcess.h"
#include "untPsn.h"
#include "untWebLogin.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

#include <memory>

using namespace lw;
using namespace lw::test;

namespace {
const QString kCode = QStringLiteral("440106700012345");

using Values = QMap<int, QString>;

// A complete investor: positions 0..19.
Values Investor(const QString &code)
{
    return {{0, kCode},         {1, code},      {2, QStringLiteral("张三")}, {3, QStringLiteral("1")},
            {4, QStringLiteral("201")}, {5, QStringLiteral("居民身份证")}, {6, QStringLiteral("440106197803150011")},
            {7, QStringLiteral("13800000000")}, {8, QStringLiteral("1")}, {9, QStringLiteral("100000")},
            {10, QStringLiteral("50")}, {11, QStringLiteral("50")}, {12, QStringLiteral("1")}, {13, QStringLiteral("1")},
            {14, QStringLiteral("6222")}, {15, QStringLiteral("156")}, {16, QStringLiteral("中国")},
            {17, QStringLiteral("2020-01-01")}, {18, QString()}, {19, QStringLiteral("广州市")}};
}

Values Enterprise()
{
    Values v{{0, QStringLiteral("1.1")}, {1, QStringLiteral("t")}, {3, kCode}, {16, QStringLiteral("172")}, {18, QStringLiteral("0.05")}};
    for (int p = 4; p <= 19; ++p)
        if (!v.contains(p))
            v.insert(p, QStringLiteral("值%1").arg(p));
    return v;
}

// An answer document built from the shipped template.
QByteArray Answer(const QString &templatePath, const Values &root, const QList<Values> &investors)
{
    XmlDoc doc = XmlDoc::fromFile(templatePath);
    XmlNode r = doc.child(1);
    for (auto it = root.begin(); it != root.end(); ++it)
        r.child(it.key()).setText(it.value());
    XmlNode list = r.child(20);
    const XmlNode proto = list.child(0).deepCopy();
    list.removeChild(0);
    for (const Values &inv : investors) {
        XmlNode n = list.appendChild(proto.deepCopy());
        for (auto it = inv.begin(); it != inv.end(); ++it)
            n.child(it.key()).setText(it.value());
    }
    return doc.toBytes();
}

QStringList Column(const QString &sql)
{
    QStringList out;
    AdoQuery &q = dm()->ADOQuery1;
    q.select(sql);
    for (q.First(); !q.Eof(); q.Next())
        out << q.FieldByName(q.columnNames().first()).toString();
    return out;
}
} // namespace

class TestPsn : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TfrmWebLogin::setWaitMilliseconds(0);
        TMySoap::setTimeouts(2, 5);
    }
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        m_env->copyFromStage(QStringLiteral("running.gif"));
        m_env->copyFromStage(QStringLiteral("rpt/DATA_RY_upload.xml"));
        m_dm = std::make_unique<Tdm>();
        QVERIFY(m_dm->connected());
        m_ui = std::make_unique<ScriptedInteraction>();
    }
    void cleanup()
    {
        // The modal driver closes a window it left open with a zero timer: let it fire here, not
        // on the next case's login dialog.
        QTest::qWait(20);
        TfrmPsn::OpenPsnDetail() = nullptr;
        m_ui.reset();
        m_sim.reset();
        m_dm.reset();
        m_env.reset();
    }

    void downloadEndToEnd();
    void downloadWithWrongPasswordChangesNothing();
    void importDefaultsCutsAndMarks();
    void indentedEmptyInvestorList_data();
    void indentedEmptyInvestorList();
    void importRefusesMalformedAnswer_data();
    void importRefusesMalformedAnswer();
    void emptySubclassHoldsTheFirstPage();
    void upload_data();
    void upload();
    void uploadRefusesUnsafeStoredCode();
    void uploadDocumentIsOwnerOnlyAndByPosition();
    void modifyCallsTheDetailHook();
    void exportWritesWorkbook();

private:
    void startSim()
    {
        m_sim = std::make_unique<SimServer>();
        QVERIFY(m_sim->start());
        WriteAuditCfg(m_sim->host());
    }
    QString answerPath() const { return m_env->appPath() + QStringLiteral("xml/DATA_RY_upload_") + kCode + QStringLiteral(".xml"); }
    void seedOld()
    {
        dm()->adoQry1.exec(QStringLiteral("insert into psn (swglm, nsr_mc) values ('OLD','旧企业')"));
        dm()->adoQry1.exec(QStringLiteral("insert into hhrtzqk (hhrswglm, hhr_mc) values ('OLD1','旧投资者')"));
    }
    bool oldUntouched()
    {
        return Column(QStringLiteral("select swglm from psn")) == QStringList{"OLD"}
               && Column(QStringLiteral("select hhrswglm from hhrtzqk")) == QStringList{"OLD1"};
    }
    // Fills in and confirms the login dialog that the next click opens.
    std::function<void(QWidget *)> login(const QString &code, const QString &password)
    {
        ScriptedInteraction *ui = m_ui.get();
        return [code, password, ui](QWidget *w) {
            w->findChild<QLineEdit *>(QStringLiteral("edtSwglm"))->setText(code);
            w->findChild<QLineEdit *>(QStringLiteral("edtPassword"))->setText(password);
            QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("bbtnOK")), Qt::LeftButton);
            // Done once the dialog closed or showed its message (it then stays open).
            QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible() || !ui->shown.isEmpty(), 5000);
        };
    }
    // A complete enterprise with two investors, ready to upload.
    void seedComplete()
    {
        const QString path = m_env->appPath() + QStringLiteral("xml/in.xml");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(Answer(m_env->appPath() + QStringLiteral("rpt/DATA_RY_upload.xml"), Enterprise(),
                       {Investor(QStringLiteral("440106197803152")), Investor(QStringLiteral("440104198209213"))}));
        f.close();
        TfrmPsn form;
        form.FormShow();
        QVERIFY(form.ImportAnswer(path));
    }

    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<Tdm> m_dm;
    std::unique_ptr<SimServer> m_sim;
    std::unique_ptr<ScriptedInteraction> m_ui;
};

void TestPsn::downloadEndToEnd()
{
    startSim();
    seedOld();
    TfrmPsn form;
    form.show();
    {
        ModalDriver driver(QStringLiteral("frmWebLogin"), login(kCode, QStringLiteral("123456")));
        form.findChild<QPushButton *>(QStringLiteral("TeSpBtnDownload"))->click();
        QVERIFY(driver.ran());
    }
    QCOMPARE(m_ui->texts(), QStringList{});
    QCOMPARE(Column(QStringLiteral("select swglm from psn")), QStringList{kCode});
    QCOMPARE(Column(QStringLiteral("select shbj from psn")), QStringList{"Y"}); // the sample has a subclass
    QCOMPARE(Column(QStringLiteral("select count(*) from hhrtzqk")), QStringList{"5"});
    QCOMPARE(Column(QStringLiteral("select count(*) from hhrtzqk where shbj='Y'")), QStringList{"5"}); // all complete
    QVERIFY(!QFile::exists(answerPath()));
    QVERIFY(!QFile::exists(m_sim->dataDir() + QStringLiteral("/answers/DATA_RY_upload_") + kCode + QStringLiteral(".xml")));
    auto *grid = form.findChild<QTableWidget *>(QStringLiteral("DBGridEh1"));
    QCOMPARE(grid->rowCount(), 5);
    QCOMPARE(form.findChild<QLineEdit *>(QStringLiteral("edt_swglm"))->text(), kCode);
    QVERIFY(!TProcess::existing() || !TProcess::existing()->isVisible());
}

void TestPsn::downloadWithWrongPasswordChangesNothing()
{
    startSim();
    seedOld();
    TfrmPsn form;
    form.show();
    {
        ModalDriver driver(QStringLiteral("frmWebLogin"), login(kCode, QStringLiteral("wrong")));
        form.findChild<QPushButton *>(QStringLiteral("TeSpBtnDownload"))->click();
        QVERIFY(driver.ran());
    }
    QCOMPARE(m_ui->texts(), QStringList{"税务管理码或登录密码输入不正确，请检查！"});
    QVERIFY(oldUntouched());
}

void TestPsn::importDefaultsCutsAndMarks()
{
    Values root = Enterprise();
    root[13] = QString(300, QChar(0x7ecf)); // 300 characters of business scope
    root[18] = QString();
    Values blankAmounts = Investor(QStringLiteral("440106197803152"));
    blankAmounts[9] = blankAmounts[10] = blankAmounts[11] = QString();
    Values shortCode = Investor(QStringLiteral("44010619780315")); // 14 characters
    Values noCountry = Investor(QStringLiteral("440106197803153"));
    noCountry[15] = QString();
    const QString path = m_env->appPath() + QStringLiteral("xml/a.xml");
    m_env->writeFile(QStringLiteral("xml/a.xml"), Answer(m_env->appPath() + QStringLiteral("rpt/DATA_RY_upload.xml"), root,
                                                        {blankAmounts, shortCode, noCountry}));
    TfrmPsn form;
    form.FormShow();
    QVERIFY(form.ImportAnswer(path));
    QCOMPARE(m_ui->texts(), QStringList{});
    QCOMPARE(Column(QStringLiteral("select length(jyfw_mc) from psn")), QStringList{"255"});
    QCOMPARE(Column(QStringLiteral("select zsl from psn")), QStringList{"0"});
    QCOMPARE(Column(QStringLiteral("select tz_je || '|' || tz_bl || '|' || fp_bl from hhrtzqk order by id")).first(),
             QStringLiteral("0.0|0.0|0.0"));
    QCOMPARE(Column(QStringLiteral("select coalesce(shbj,'-') from hhrtzqk order by id")), (QStringList{"Y", "-", "-"}));
    QVERIFY(!QFile::exists(path));

    // An empty investor list empties the table.
    m_env->writeFile(QStringLiteral("xml/a.xml"), Answer(m_env->appPath() + QStringLiteral("rpt/DATA_RY_upload.xml"), Enterprise(), {}));
    QVERIFY(form.ImportAnswer(path));
    QCOMPARE(Column(QStringLiteral("select count(*) from hhrtzqk")), QStringList{"0"});
    QCOMPARE(form.findChild<QTableWidget *>(QStringLiteral("DBGridEh1"))->rowCount(), 0);
}

void TestPsn::indentedEmptyInvestorList_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<bool>("imported");
    QTest::newRow("blank lines") << QByteArray("<tzzlb>\n    \r\n\t  </tzzlb>") << true;
    QTest::newRow("stray text") << QByteArray("<tzzlb>\n    x\n  </tzzlb>") << false;
}

// A pretty-printing server writes an empty investor list over two lines.
void TestPsn::indentedEmptyInvestorList()
{
    QFETCH(QByteArray, list);
    QFETCH(bool, imported);
    seedOld();
    QByteArray bytes = Answer(m_env->appPath() + QStringLiteral("rpt/DATA_RY_upload.xml"), Enterprise(), {});
    const int at = bytes.indexOf("<tzzlb");
    QVERIFY(at > 0);
    const int end = bytes.indexOf('>', bytes.indexOf("</tzzlb>") >= 0 ? bytes.indexOf("</tzzlb>") : at);
    bytes.replace(at, end - at + 1, list);
    m_env->writeFile(QStringLiteral("xml/a.xml"), bytes);
    TfrmPsn form;
    form.FormShow();
    QCOMPARE(form.ImportAnswer(m_env->appPath() + QStringLiteral("xml/a.xml")), imported);
    if (imported) {
        QCOMPARE(m_ui->texts(), QStringList{});
        QCOMPARE(Column(QStringLiteral("select swglm from psn")), QStringList{kCode});
        QCOMPARE(Column(QStringLiteral("select count(*) from hhrtzqk")), QStringList{"0"});
    } else {
        QCOMPARE(m_ui->shown.size(), 1);
        QVERIFY(oldUntouched());
    }
}

void TestPsn::importRefusesMalformedAnswer_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    QByteArray shortRoot = head + "<qyxx>";
    for (int i = 0; i < 12; ++i)
        shortRoot += "<a>x</a>";
    shortRoot += "</qyxx>";
    QByteArray shortInvestor = head + "<qyxx>";
    for (int i = 0; i < 20; ++i)
        shortInvestor += "<a>1</a>";
    shortInvestor += "<l><i><b>1</b><b>2</b></i></l></qyxx>";
    QTest::newRow("not xml") << QByteArray("MZ\x90\x00 garbage", 12);
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("root too short") << shortRoot;
    QTest::newRow("investor too short") << shortInvestor;
    QTest::newRow("text among investors") << QByteArray(shortInvestor).replace("<l><i><b>1</b><b>2</b></i></l>", "<l>stray</l>");
    QTest::newRow("external entity") << head + "<!DOCTYPE qyxx [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><qyxx>&x;</qyxx>";
    QTest::newRow("billion laughs")
        << head + "<!DOCTYPE q [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]><q>&c;</q>";
    QTest::newRow("unterminated") << head + "<qyxx><bbh>1.1</bbh>";
}

void TestPsn::importRefusesMalformedAnswer()
{
    QFETCH(QByteArray, bytes);
    seedOld();
    m_env->writeFile(QStringLiteral("xml/bad.xml"), bytes);
    TfrmPsn form;
    form.FormShow();
    QVERIFY(!form.ImportAnswer(m_env->appPath() + QStringLiteral("xml/bad.xml")));
    QCOMPARE(m_ui->shown.size(), 1);
    QVERIFY(m_ui->shown.first().text.startsWith(QStringLiteral("企业信息文件格式不正确，未导入任何数据！")));
    QVERIFY(oldUntouched());
    QVERIFY(!TProcess::existing() || !TProcess::existing()->isVisible());
}

void TestPsn::emptySubclassHoldsTheFirstPage()
{
    Values root = Enterprise();
    root[16] = QString();
    m_env->writeFile(QStringLiteral("xml/a.xml"), Answer(m_env->appPath() + QStringLiteral("rpt/DATA_RY_upload.xml"), root, {}));
    TfrmPsn form;
    form.show();
    QVERIFY(form.ImportAnswer(m_env->appPath() + QStringLiteral("xml/a.xml")));
    QCOMPARE(Column(QStringLiteral("select coalesce(shbj,'-') from psn")), QStringList{"-"});
    auto *pages = form.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
    pages->setCurrentIndex(1);
    QCOMPARE(pages->currentIndex(), 0);
    form.close();
    QVERIFY(form.isVisible());
    QCOMPARE(m_ui->texts(), (QStringList{"注册类型小类不能为空！", "注册类型小类不能为空！"}));

    auto *subclass = form.findChild<QComboBox *>(QStringLiteral("cbZclxxl"));
    subclass->setCurrentIndex(subclass->findData(QStringLiteral("173")));
    emit subclass->activated(subclass->currentIndex());
    pages->setCurrentIndex(1);
    QCOMPARE(pages->currentIndex(), 1);
    QCOMPARE(Column(QStringLiteral("select zclxxl_mc from psn")), QStringList{"173"});
    form.close();
    QVERIFY(!form.isVisible());
}

void TestPsn::upload_data()
{
    QTest::addColumn<QString>("setup");  // SQL run after the complete seed, or empty
    QTest::addColumn<QString>("forced"); // simulator switch
    QTest::addColumn<bool>("loginOpens");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("shbjAfter"); // investors by id, null as "-"

    const QString ok = QStringLiteral("恭喜,电子数据上传成功！");
    QTest::newRow("success marks N only")
        << "update hhrtzqk set shbj = case id when 1 then 'N' else null end" << "" << true << QStringList{ok} << QStringList{"Y", "-"};
    QTest::newRow("no investors skips their checks") << "delete from hhrtzqk" << "" << true << QStringList{ok} << QStringList{};
    QTest::newRow("incomplete investor") << "update hhrtzqk set jkzh = null, shbj='N' where id = 2" << "" << false
                                         << QStringList{"投资者信息不全不能上传,请先去税务机关变更信息，再重新下载,上传投资者信息！"}
                                         << QStringList{"Y", "N"};
    QTest::newRow("14-character code")
        << "update hhrtzqk set hhrswglm = '44010419820921', shbj='N' where id = 2" << "" << false
        << QStringList{"您的投资者税务管理码少于15位，请确定管理码是否正确，或至税务机关窗口进行变更，变更完成后再重新下载,上传投资者信息！"}
        << QStringList{"Y", "N"};
    QTest::newRow("blank identification number") << "update psn set nsrsbh = ' \t'" << "" << false
                                                 << QStringList{"企业信息不全不能上传,请先去税务机关变更信息，再重新下载,上传企业信息！"}
                                                 << QStringList{"Y", "Y"};
    QTest::newRow("3: version too old") << "update hhrtzqk set shbj='N'" << "uploadfile=3" << true
                                        << QStringList{"软件版本低，请重新更新软件！"} << QStringList{"N", "N"};
    QTest::newRow("refused") << "update hhrtzqk set shbj='N'" << "uploadfile=0" << true
                             << QStringList{"电子数据上传失败，请稍后再试！"} << QStringList{"N", "N"};
}

void TestPsn::upload()
{
    QFETCH(QString, setup);
    QFETCH(QString, forced);
    QFETCH(bool, loginOpens);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, shbjAfter);
    startSim();
    seedComplete();
    if (!setup.isEmpty())
        dm()->adoQry1.exec(setup);
    dm()->adoQry1.exec(QStringLiteral("update psn set shbj='N'"));
    if (!forced.isEmpty())
        m_sim->force(forced.section(QLatin1Char('='), 0, 0), forced.section(QLatin1Char('='), 1));

    TfrmPsn form;
    form.show();
    form.findChild<QTabWidget *>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
    {
        std::unique_ptr<ModalDriver> driver;
        if (loginOpens)
            driver = std::make_unique<ModalDriver>(QStringLiteral("frmWebLogin"), login(kCode, QStringLiteral("123456")));
        form.findChild<QPushButton *>(QStringLiteral("TeSpBtnUpload"))->click();
        if (driver)
            QVERIFY2(driver->ran(), qPrintable(m_ui->texts().join(QLatin1Char('|'))));
    }
    QCOMPARE(m_ui->texts(), messages);
    QCOMPARE(Column(QStringLiteral("select coalesce(shbj,'-') from hhrtzqk order by id")), shbjAfter);
    const bool success = messages == QStringList{"恭喜,电子数据上传成功！"};
    QCOMPARE(Column(QStringLiteral("select shbj from psn")), QStringList{success ? "Y" : "N"});
    // The document with the password never stays behind.
    QVERIFY(QDir(m_env->appPath() + QStringLiteral("tmp")).isEmpty());
    if (success) {
        const QByteArray sent = m_sim->request(QStringLiteral("uploadfile"));
        QVERIFY(!sent.isEmpty());
    }
}

void TestPsn::uploadRefusesUnsafeStoredCode()
{
    startSim();
    seedComplete();
    dm()->adoQry1.exec(QStringLiteral("update psn set swglm='../../evil'"));
    TfrmPsn form;
    form.show();
    form.findChild<QPushButton *>(QStringLiteral("TeSpBtnUpload"))->click();
    QCOMPARE(m_ui->texts(), QStringList{"税务管理码只能由字母、数字、“-”和“_”组成，请检查！"});
    QVERIFY(QDir(m_env->appPath() + QStringLiteral("tmp")).isEmpty());
    QVERIFY(!QFile::exists(m_env->appPath() + QStringLiteral("evil.xml")));
    QVERIFY(m_sim->request(QStringLiteral("uploadfile")).isEmpty());
}

void TestPsn::uploadDocumentIsOwnerOnlyAndByPosition()
{
    seedComplete();
    dm()->adoQry1.exec(QStringLiteral("update hhrtzqk set tz_je = 1234.5, jkzh = null where id = 2"));
    const QString path = m_env->appPath() + QStringLiteral("tmp/up.xml");
    m_env->writeFile(QStringLiteral("tmp/up.xml"), "old, world-readable");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    WriteEnterpriseUpload(path, QStringLiteral("LOGINCODE"), QStringLiteral("pw&<"));
    QCOMPARE(QFile::permissions(path) & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup | QFileDevice::WriteOther),
             QFileDevice::Permissions());
    const XmlDoc doc = XmlDoc::fromFile(path);
    const XmlNode root = doc.child(1);
    QCOMPARE(root.child(0).text(), QStringLiteral("1.1"));
    QCOMPARE(root.child(1).text(), QStringLiteral("upload"));
    QCOMPARE(root.child(2).text(), QStringLiteral("pw&<"));
    QCOMPARE(root.child(3).text(), QStringLiteral("LOGINCODE")); // the login's code, not psn.swglm
    QCOMPARE(root.child(4).text(), QStringLiteral("值4"));
    QCOMPARE(root.child(18).text(), QStringLiteral("0.05"));
    const XmlNode list = root.child(20);
    QCOMPARE(list.childCount(), 2); // the template's sample investor is gone
    QCOMPARE(list.child(1).child(1).text(), QStringLiteral("440104198209213"));
    QCOMPARE(list.child(1).child(9).text(), QStringLiteral("1234.5"));
    QCOMPARE(list.child(1).child(14).text(), QString()); // null as empty text

    dm()->adoQry1.exec(QStringLiteral("delete from hhrtzqk"));
    WriteEnterpriseUpload(path, kCode, QStringLiteral("x"));
    QCOMPARE(XmlDoc::fromFile(path).child(1).child(20).childCount(), 0);
}

void TestPsn::modifyCallsTheDetailHook()
{
    seedComplete();
    QList<int> opened;
    TfrmPsn::OpenPsnDetail() = [&opened](QWidget *, int id) {
        opened << id;
        dm()->adoQry1.exec(QStringLiteral("update hhrtzqk set hhr_mc='改名' where id=%1").arg(id));
        return true;
    };
    TfrmPsn form;
    form.show();
    auto *grid = form.findChild<QTableWidget *>(QStringLiteral("DBGridEh1"));
    grid->setCurrentCell(1, 0);
    form.findChild<QPushButton *>(QStringLiteral("TeSpBtnModify"))->click();
    QCOMPARE(opened, QList<int>{2});
    QCOMPARE(grid->item(1, 1)->text(), QStringLiteral("改名"));

    dm()->adoQry1.exec(QStringLiteral("delete from psn"));
    form.findChild<QPushButton *>(QStringLiteral("TeSpBtnModify"))->click();
    QCOMPARE(opened.size(), 1); // no enterprise: nothing happens
}

void TestPsn::exportWritesWorkbook()
{
    seedComplete();
    TfrmPsn form;
    form.show();
    auto *button = form.findChild<QPushButton *>(QStringLiteral("TeSpBtnExport"));
    m_ui->answerFileName(QString()); // cancelled
    button->click();
    QVERIFY(QDir(m_env->appPath()).entryList({QStringLiteral("*.xlsx")}).isEmpty());
    const QString file = m_env->appPath() + QStringLiteral("out");
    m_ui->answerFileName(file + QStringLiteral(".xls"));
    button->click();
    QCOMPARE(m_ui->texts(), QStringList{});
    QVERIFY(!QFile::exists(file + QStringLiteral(".xls")));
    QFile xlsx(file + QStringLiteral(".xlsx"));
    QVERIFY(xlsx.open(QIODevice::ReadOnly));
    Workbook book;
    QString error;
    QVERIFY2(readXlsxData(xlsx.readAll(), book, &error), qPrintable(error));
    // Titles on the first row, the hidden column left out, codes shown by name.
    QCOMPARE(book.readText(1, 1, 0), QStringLiteral("投资者税务管理码"));
    QCOMPARE(book.readText(8, 1, 0), QStringLiteral("是否在本企业汇缴"));
    QCOMPARE(book.readText(1, 3, 0), QStringLiteral("440104198209213"));
    QCOMPARE(book.readText(2, 3, 0), QStringLiteral("张三"));
    QVERIFY(book.readText(1, 4, 0).isEmpty());
    // 出资金额 and 分配比例 are numbers; names stay text.
    for (int col : {6, 7}) {
        const Cell *cell = book.cell(col, 3, 0);
        QVERIFY2(cell && cell->value.type == ValueType::Number, qPrintable(QString::number(col)));
    }
    QCOMPARE(book.cell(6, 3, 0)->value.number, 100000.0);
    QCOMPARE(book.cell(7, 3, 0)->value.number, 50.0);
    QCOMPARE(book.readText(6, 3, 0), QStringLiteral("100,000.00"));
    QCOMPARE(book.cell(2, 3, 0)->value.type, ValueType::Text);
}

QTEST_MAIN(TestPsn)
#include "tst_psn.moc"
