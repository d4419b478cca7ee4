// SPDX-License-Identifier: GPL-3.0-or-later
#include "MessageBoxes.h"
#include "ScriptedInteraction.h"
#include "TestEnv.h"
#include "UntF_IniFile.h"
#include "untAbout.h"
#include "untDm.h"
#include "untMain.h"
#include "untProcess.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>

using namespace lw;

namespace {
const QStringList kDataTables{"enpbas", "psn", "hhrtzqk", "hhfezrns", "hhqymx", "thjs", "recal_hhqymx",
                              "recal_cz", "recal_hd", "recal_hz", "recal_qs", "recal_yj", "wa_mbksmxsheet", "sbjl"};
const QStringList kKeptTables{"wa_tzzxz", "wa_czfs", "wa_nsjd", "wa_sf", "wa_zclxxl", "wa_nation", "wa_certtype",
                              "wa_yjsheet", "wa_qssheet", "wa_hzsheet", "wa_czzssheet", "wa_hdzssheet", "wa_hhqymx",
                              "wa_version"};

int count(const QString &table)
{
    dm()->ADOQuery1.select(QStringLiteral("select count(*) as n from ") + table);
    return dm()->ADOQuery1.FieldByName(QStringLiteral("n")).toInt();
}

QMap<QString, int> counts(const QStringList &tables)
{
    QMap<QString, int> result;
    for (const QString &t : tables)
        result[t] = count(t);
    return result;
}

void fillDataTables()
{
    auto &q = dm()->adoQry1;
    for (const QString &t : kDataTables) {
        if (t.startsWith(QLatin1String("recal_")))
            q.exec(QStringLiteral("insert into %1 (col,row,sheet,type,sField,sValue,qsrq,zzrq) values (4,8,0,2,'','1','2011-01-01','2011-03-31')").arg(t));
        else if (t == QLatin1String("wa_mbksmxsheet"))
            q.exec(QStringLiteral("insert into wa_mbksmxsheet (swglm,qsrq,zzrq,nd) values ('X','2011-01-01','2011-12-31',2010)"));
        else if (t == QLatin1String("sbjl"))
            q.exec(QStringLiteral("insert into sbjl (jllx,bblx,cg) values ('上传',1,1)"));
        else if (t == QLatin1String("enpbas") || t == QLatin1String("psn"))
            q.exec(QStringLiteral("insert into %1 (swglm) values ('370102000000001')").arg(t));
        else
            q.exec(QStringLiteral("insert into %1 (hhr_mc) values ('张三')").arg(t).replace(QLatin1String("hhfezrns (hhr_mc)"), QLatin1String("hhfezrns (zrr_mc)")));
    }
    // Mapping tables have no delivered rows yet; give one so "untouched" means something.
    q.exec(QStringLiteral("insert into wa_yjsheet (col,row,sheet,type,sField) values (4,8,0,2,'')"));
}

QAction *action(TfrmMain &w, const char *name)
{
    return w.findChild<QAction *>(QLatin1String(name));
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void titleAndPanels();
    void navigationSwapsPictures_data();
    void navigationSwapsPictures();
    void missingPictureReportedAfterPanelSwitch();
    void systemInitialisationEmptiesDataTablesOnly();
    void systemInitialisationDeclined();
    void systemInitialisationStopsAtFailingDelete_data();
    void systemInitialisationStopsAtFailingDelete();
    void precheckBlocksChangedInvestor_data();
    void precheckBlocksChangedInvestor();
    void captionClickOpensKind5();
    void recordsPanelEntries();
    void exitAsksFirst();
    void closingEndsProcess();
    void helpOpensPage();
    void aboutShowsVersionAndDate();
    void progressWindowReused();
    void progressLeavesTheOwnerUncovered_data();
    void progressLeavesTheOwnerUncovered();
    void serviceUrlFromConfig();

private:
    std::unique_ptr<test::TestEnv> m_env;
    std::unique_ptr<test::ScriptedInteraction> m_ui;
    std::unique_ptr<Tdm> m_dm;
};

void TestMainWindow::init()
{
    m_env = std::make_unique<test::TestEnv>();
    m_env->copyFromStage(QStringLiteral("jpg"));
    m_ui = std::make_unique<test::ScriptedInteraction>();
    m_ui->setStrict(true);
    m_dm = std::make_unique<Tdm>();
}

void TestMainWindow::cleanup()
{
    QVERIFY2(m_ui->unexpected.isEmpty(), qPrintable(m_ui->unexpected.join(QLatin1Char('|'))));
    m_dm.reset();
    m_ui.reset();
    m_env.reset();
}

void TestMainWindow::titleAndPanels()
{
    TfrmMain w;
    QCOMPARE(w.windowTitle(), QStringLiteral("Ledgerwell"));
    QCOMPARE(w.size(), QSize(977, 653));
    QVERIFY(w.findChild<QWidget *>(QStringLiteral("pl0")));
    QVERIFY(w.findChild<QWidget *>(QStringLiteral("pl2")));
    QVERIFY(w.findChild<QWidget *>(QStringLiteral("pl4")));
    QVERIFY(!w.findChild<QWidget *>(QStringLiteral("Img_2"))->isVisibleTo(&w));
    auto *status = w.findChild<QLabel *>(QStringLiteral("StatusBar1Panel0"));
    QCOMPARE(status->text(), QStringLiteral("就绪"));
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("lblImage2"))->text(), QStringLiteral("合伙人为合伙企业明细"));
    for (const char *name : {"NSysInit", "NChangePsw", "NExit", "N1", "NAbout"})
        QVERIFY2(action(w, name), name);
    QCOMPARE(action(w, "NSysInit")->text(), QStringLiteral("系统初始化"));
    w.Img_4Click();
    const QImage shot = w.grab().toImage();
    QCOMPARE(shot.size(), QSize(977, 653));
    if (qEnvironmentVariableIsSet("LW_SHOT_DIR")) // for looking at the window by eye
        shot.save(qEnvironmentVariable("LW_SHOT_DIR") + QStringLiteral("/main.png"));
}

void TestMainWindow::navigationSwapsPictures_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("panel");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");
    QTest::newRow("imgHead") << "imgHead" << 0 << "1.jpg" << "4.jpg";
    QTest::newRow("Img_1") << "Img_1" << 2 << "1-m.jpg" << "4.jpg";
    QTest::newRow("Img_4") << "Img_4" << 4 << "1.jpg" << "4-m.jpg";
}

void TestMainWindow::navigationSwapsPictures()
{
    QFETCH(QString, control);
    QFETCH(int, panel);
    QFETCH(QString, upper);
    QFETCH(QString, lower);
    TfrmMain w;
    w.showPanel(panel == 0 ? 4 : 0);
    QTest::mouseClick(w.findChild<QLabel *>(control), Qt::LeftButton);
    QCOMPARE(w.currentPanel(), panel);
    const QString panelName = QStringLiteral("pl%1").arg(panel);
    QCOMPARE(w.findChild<QStackedWidget *>(QStringLiteral("workArea"))->currentWidget()->objectName(), panelName);
    const QImage expectedUpper(m_env->appPath() + QStringLiteral("jpg/") + upper);
    const QImage expectedLower(m_env->appPath() + QStringLiteral("jpg/") + lower);
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("Img_1"))->pixmap().toImage(), expectedUpper.convertToFormat(QImage::Format_RGB32));
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("Img_4"))->pixmap().toImage(), expectedLower.convertToFormat(QImage::Format_RGB32));
    QVERIFY(m_ui->shown.isEmpty());
}

void TestMainWindow::missingPictureReportedAfterPanelSwitch()
{
    TfrmMain w;
    QFile::remove(m_env->appPath() + QStringLiteral("jpg/4-m.jpg"));
    QTest::mouseClick(w.findChild<QLabel *>(QStringLiteral("Img_4")), Qt::LeftButton);
    QCOMPARE(w.currentPanel(), 4);
    QCOMPARE(m_ui->shown.size(), 1);
    QVERIFY(m_ui->shown[0].text.contains(QStringLiteral("4-m.jpg")));
}

void TestMainWindow::systemInitialisationEmptiesDataTablesOnly()
{
    fillDataTables();
    const auto kept = counts(kKeptTables);
    QVERIFY(kept.value(QStringLiteral("wa_nation")) > 200);
    TfrmMain w;
    m_ui->answer(IdYes);
    action(w, "NSysInit")->trigger();
    QCOMPARE(m_ui->texts(), (QStringList{"系统初始化会将软件中所有信息清除，你确定要进行系统初始化吗？", "系统初始化完毕！"}));
    QCOMPARE(m_ui->shown[0].buttons, MsgButtons::YesNoDefaultNo);
    for (const QString &t : kDataTables)
        QVERIFY2(count(t) == 0, qPrintable(t));
    QCOMPARE(counts(kKeptTables), kept);
    // The safety copy written just before holds the old rows.
    const QStringList copies = QDir(m_env->appPath() + QStringLiteral("db/backup")).entryList({QStringLiteral("init_*.sqlite")});
    QCOMPARE(copies.size(), 1);
    {
        QSqlDatabase copy = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("copy"));
        copy.setDatabaseName(m_env->appPath() + QStringLiteral("db/backup/") + copies.first());
        QVERIFY(copy.open());
        QSqlQuery q(copy);
        QVERIFY(q.exec(QStringLiteral("select swglm from psn")) && q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("370102000000001"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("copy"));
}

void TestMainWindow::systemInitialisationDeclined()
{
    fillDataTables();
    const auto before = counts(kDataTables + kKeptTables);
    TfrmMain w;
    m_ui->answer(IdNo);
    action(w, "NSysInit")->trigger();
    QCOMPARE(m_ui->shown.size(), 1);
    QCOMPARE(counts(kDataTables + kKeptTables), before);
}

// A failing tenth delete, or a safety copy that cannot be written: every table stays as it was.
void TestMainWindow::systemInitialisationStopsAtFailingDelete_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("named");
    QTest::newRow("tenth delete") << "delete" << "recal_hz";
    QTest::newRow("safety copy") << "copy" << "安全副本";
}

void TestMainWindow::systemInitialisationStopsAtFailingDelete()
{
    QFETCH(QString, failure);
    QFETCH(QString, named);
    fillDataTables();
    if (failure == QLatin1String("delete"))
        dm()->adoQry1.exec(QStringLiteral("drop table recal_hz"));
    else // a file where the copies' folder should be
        m_env->writeFile(QStringLiteral("db/backup"), "not a folder");
    QStringList tables = kDataTables;
    tables.removeAll(QStringLiteral("recal_hz"));
    const auto before = counts(tables);
    TfrmMain w;
    m_ui->answer(IdYes);
    action(w, "NSysInit")->trigger();
    QCOMPARE(m_ui->shown.size(), 2);
    QCOMPARE(m_ui->shown[1].icon, MsgIcon::Error);
    QVERIFY2(m_ui->shown[1].text.contains(named), qPrintable(m_ui->shown[1].text));
    QCOMPARE(counts(tables), before);
}

void TestMainWindow::precheckBlocksChangedInvestor_data()
{
    QTest::addColumn<QStringList>("flags");
    QTest::addColumn<bool>("opens");
    QTest::newRow("no investors") << QStringList{} << true;
    QTest::newRow("all uploaded") << QStringList{"Y", "Y"} << true;
    QTest::newRow("one changed") << QStringList{"Y", "N"} << false;
}

void TestMainWindow::precheckBlocksChangedInvestor()
{
    QFETCH(QStringList, flags);
    QFETCH(bool, opens);
    for (const QString &f : flags)
        dm()->adoQry1.exec(QStringLiteral("insert into hhrtzqk (hhrswglm, shbj) values ('370102000000001', %1)").arg(QuotedStr(f)));
    TfrmMain w;
    QSignalSpy requested(&w, &TfrmMain::declarationRequested);
    for (int kind = 1; kind <= 5; ++kind)
        QCOMPARE(w.OpenDeclaration(kind), opens);
    QCOMPARE(requested.size(), opens ? 5 : 0);
    if (opens) {
        QVERIFY(m_ui->shown.isEmpty());
    } else {
        QCOMPARE(m_ui->shown.size(), 5);
        QCOMPARE(m_ui->shown[0].text, QStringLiteral("为了确保申报信息准确，请检查企业信息准确，并上传企业信息之后，再进行填写申报表！"));
        QCOMPARE(m_ui->shown[0].caption, QStringLiteral("提示"));
    }
}

void TestMainWindow::captionClickOpensKind5()
{
    TfrmMain w;
    QSignalSpy requested(&w, &TfrmMain::declarationRequested);
    QTest::mouseClick(w.findChild<QLabel *>(QStringLiteral("lblImage2")), Qt::LeftButton);
    QTest::mouseClick(w.findChild<QLabel *>(QStringLiteral("Image2")), Qt::LeftButton);
    QCOMPARE(requested.size(), 2);
    QCOMPARE(requested.at(0).at(0).toInt(), 5);
    QCOMPARE(requested.at(1).at(0).toInt(), 5);
}

void TestMainWindow::recordsPanelEntries()
{
    TfrmMain w;
    QSignalSpy enterprise(&w, &TfrmMain::enterpriseWindowRequested);
    QSignalSpy tables(&w, &TfrmMain::partnershipTablesRequested);
    QTest::mouseClick(w.findChild<QLabel *>(QStringLiteral("lblImage3")), Qt::LeftButton);
    QTest::mouseClick(w.findChild<QLabel *>(QStringLiteral("Image1")), Qt::LeftButton);
    QTest::mouseClick(w.findChild<QLabel *>(QStringLiteral("lblImage4")), Qt::LeftButton);
    QCOMPARE(enterprise.size(), 1);
    QCOMPARE(tables.size(), 2);
    QCOMPARE(tables.at(0).at(0).toInt(), 1);
    QCOMPARE(tables.at(0).at(1).toString(), QStringLiteral("退伙结算表"));
    QCOMPARE(tables.at(1).at(0).toInt(), 2);
    QCOMPARE(tables.at(1).at(1).toString(), QStringLiteral("合伙份额转让纳税情况表"));
}

void TestMainWindow::exitAsksFirst()
{
    TfrmMain w;
    QSignalSpy quit(qApp, &QCoreApplication::aboutToQuit);
    m_ui->answer(IdNo);
    action(w, "NExit")->trigger();
    QCOMPARE(m_ui->texts(), QStringList{"是否确认退出系统？"});
    QCoreApplication::processEvents();
    QCOMPARE(quit.size(), 0);
}

void TestMainWindow::closingEndsProcess()
{
    int code = -1;
    TfrmMain::setProcessExit([&code](int c) { code = c; });
    {
        TfrmMain w;
        w.close();
    }
    TfrmMain::setProcessExit({});
    QCOMPARE(code, 0);
}

void TestMainWindow::helpOpensPage()
{
    TfrmMain w;
    action(w, "N1")->trigger();
    QCOMPARE(m_ui->opened, QList<QUrl>{QUrl::fromLocalFile(m_env->appPath() + QStringLiteral("hlp/hlp.html"))});
    QVERIFY(QFileInfo(test::TestEnv::stageDir() + QStringLiteral("/hlp/hlp.html")).size() > 2000);
}

void TestMainWindow::aboutShowsVersionAndDate()
{
    TfrmAbout about;
    QCOMPARE(about.windowTitle(), QStringLiteral("关于"));
    QStringList texts;
    for (QLabel *l : about.findChildren<QLabel *>())
        texts << l->text();
    QVERIFY(texts.join(QLatin1Char('\n')).contains(QStringLiteral("2.0")));
    QVERIFY(texts.join(QLatin1Char('\n')).contains(QStringLiteral("2014-04-01")));
    QCOMPARE(about.size(), QSize(399, 287));
}

void TestMainWindow::progressWindowReused()
{
    m_env->copyFromStage(QStringLiteral("running.gif"));
    HideProgress(); // before any ShowProgress: nothing happens
    ShowProgress(QStringLiteral("正在连接Web服务器。。。"));
    TProcess *first = TProcess::existing();
    QVERIFY(first && first->isVisible());
    ShowProgress(QStringLiteral("正在发送数据，请稍候"));
    QCOMPARE(TProcess::existing(), first);
    QCOMPARE(first->message(), QStringLiteral("正在发送数据，请稍候"));
    QVERIFY(first->testAttribute(Qt::WA_WState_Visible));
    HideProgress();
    QVERIFY(!first->isVisible());
    QCOMPARE(first->size(), QSize(290, 85));
    QVERIFY(m_ui->shown.isEmpty()); // the animation was found
}

void TestMainWindow::progressLeavesTheOwnerUncovered_data()
{
    QTest::addColumn<QRect>("owner");
    QTest::addColumn<QPoint>("expected");
    const QRect screen(0, 0, 1024, 768);
    const QSize size(290, 85);
    QTest::newRow("no owner: centred") << QRect() << screen.center() - QRect(QPoint(), size).center();
    QTest::newRow("centred dialog: below it") << QRect(362, 300, 300, 160) << QPoint(366, 468);
    QTest::newRow("dialog at the bottom: above it") << QRect(362, 600, 300, 160) << QPoint(366, 507);
    QTest::newRow("tall dialog: beside it") << QRect(100, 0, 300, 768) << QPoint(408, 341);
    QTest::newRow("screen-filling dialog: top-left corner") << screen << QPoint(0, 0);
}

void TestMainWindow::progressLeavesTheOwnerUncovered()
{
    QFETCH(QRect, owner);
    QFETCH(QPoint, expected);
    const QRect screen(0, 0, 1024, 768);
    const QPoint at = ProgressPosition(owner, QSize(290, 85), screen);
    QCOMPARE(at, expected);
    QVERIFY(screen.contains(QRect(at, QSize(290, 85))));
}

void TestMainWindow::serviceUrlFromConfig()
{
    QCOMPARE(TIniSys().GetServiceUrl(), QString()); // no Audit.cfg: empty
    m_env->writeFile(QStringLiteral("Audit.cfg"), "[webservice]\nurl=127.0.0.1:8089\n[http]\nurl1=http://127.0.0.1:8089/update.ini\n");
    QCOMPARE(TIniSys().GetServiceUrl(), QStringLiteral("127.0.0.1:8089"));
    QCOMPARE(TIniSys().GetUpgradeUrl(), QStringLiteral("http://127.0.0.1:8089/update.ini"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
