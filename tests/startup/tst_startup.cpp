// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up sequence: registration of the spreadsheet control, the required program names,
// the marker file, the upgrade check against the simulator's update.ini, and the question about
// incomplete enterprise data.
#include "Paths.h"
#include "Registry.h"
#include "ScriptedInteraction.h"
#include "SimServer.h"
#include "TestEnv.h"
#include "untDm.h"
#include "untMain.h"
#include "untStartup.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTcpServer>
#include <QtTest>

#include <memory>

using namespace lw;
using namespace lw::test;

namespace {
const QString kUpgradeFailed = QStringLiteral("检测自动升级失败,请检测网络环境!");
const QString kNewVersion = QStringLiteral("发现新版本，准备升级！");

// Runs the application's loop as main() does after the first show: 0 when the sequence asked
// the application to end, 99 when the loop had to be ended from outside.
int RunApplicationLoop()
{
    QTimer guard; // dies with this call, so it cannot end a later test's loop
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(99); });
    guard.start(200);
    return QCoreApplication::exec();
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The registry stand-in and the marker file live under the home directory; a home of
        // our own keeps suites that run in parallel out of each other's way.
        QVERIFY(m_home.isValid());
        qputenv("HOME", m_home.path().toLocal8Bit());
        for (const char *var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            qunsetenv(var);
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(Registry::storeFile().startsWith(m_home.path()));
        QVERIFY(MarkerFilePath().startsWith(m_home.path()));
    }

    void init()
    {
        m_env = std::make_unique<TestEnv>();
        m_env->copyFromStage(QStringLiteral("running.gif"));
        m_env->writeFile(ProgramFileName(QStringLiteral("客户端软件")), "");
        m_env->writeFile(ProgramFileName(QStringLiteral("upgrade")), "");
        QFile::remove(MarkerFilePath());
        QDir(MarkerFilePath()).removeRecursively();
        Registry::writeDefault(Registry::cellTypeLibKey(), QStringLiteral("registered"));
        m_dm = std::make_unique<Tdm>();
        QVERIFY(m_dm->connected());
        m_sim = std::make_unique<SimServer>();
        QVERIFY(m_sim->start());
        WriteAuditCfg(m_sim->host(), QStringLiteral("http://%1/update.ini").arg(m_sim->host()));
        m_opened = 0;
        SetEnterpriseWindowOpener([this] { ++m_opened; });
        SetUpgradeTimeout(5000);
    }
    void cleanup()
    {
        SetEnterpriseWindowOpener({});
        Registry::removeKey(Registry::cellTypeLibKey());
        QDir(MarkerFilePath()).removeRecursively();
        QFile::remove(MarkerFilePath());
        m_sim.reset();
        m_dm.reset();
        m_env.reset();
    }

    void upgradeCheck_data()
    {
        QTest::addColumn<QString>("installed");
        QTest::addColumn<QByteArray>("updateIni"); // empty: the server has none
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<bool>("terminate");
        const QStringList none;
        QTest::newRow("newer ver hands over") << "2.0" << QByteArray("[version]\nver=2.1\n")
                                              << QStringList{kNewVersion} << QStringList{"upgrade"} << true;
        QTest::newRow("equal ver: notice and address only") << "2.0"
            << QByteArray("[version]\r\nver=2.0\r\n[memo]\r\nhint=请于15日前完成申报\r\nweb=https://etax.example.cn/notice\r\n")
            << QStringList{"请于15日前完成申报"} << QStringList{"https://etax.example.cn/notice"} << false;
        QTest::newRow("notice, address and upgrade") << "2.0"
            << QByteArray("[version]\nver=3\n[memo]\nhint=新版本\nweb=http://etax.example.cn/\n")
            << QStringList{"新版本", kNewVersion} << QStringList{"http://etax.example.cn/", "upgrade"} << true;
        QTest::newRow("2.10 is older than 2.9") << "2.9" << QByteArray("[version]\nver=2.10\n") << none << none << false;
        QTest::newRow("2.1 is newer than 2.09") << "2.09" << QByteArray("[version]\nver=2.1\n")
                                                << QStringList{kNewVersion} << QStringList{"upgrade"} << true;
        QTest::newRow("no ver never upgrades") << "2.0" << QByteArray("[memo]\nhint=\n") << none << none << false;
        QTest::newRow("ver not a number") << "2.0" << QByteArray("[version]\nver=2.1b\n")
                                          << QStringList{kUpgradeFailed} << none << false;
        QTest::newRow("local address is not opened") << "2.0"
            << QByteArray("[version]\nver=2.0\n[memo]\nweb=file:///etc/passwd\n") << none << none << false;
        QTest::newRow("program path is not opened") << "2.0"
            << QByteArray("[version]\nver=2.0\n[memo]\nweb=/usr/bin/xterm\n") << none << none << false;
        QTest::newRow("no update.ini on the server") << "2.0" << QByteArray() << QStringList{kUpgradeFailed} << none << false;
        QTest::newRow("endless update.ini") << "2.0" << QByteArray("[version]\nver=2.0\n;") + QByteArray(3 << 20, 'x')
                                            << QStringList{kUpgradeFailed} << none << false;
    }
    void upgradeCheck()
    {
        QFETCH(QString, installed);
        QFETCH(QByteArray, updateIni);
        QFETCH(QStringList, opened);
        m_dm->ADOQuery1.exec(QStringLiteral("update wa_version set version = %1").arg(installed));
        if (updateIni.isEmpty())
            QFile::remove(m_sim->dataDir() + QStringLiteral("/update.ini"));
        else
            m_sim->writeData(QStringLiteral("update.ini"), updateIni);
        m_env->writeFile(QStringLiteral("update.ini"), "[version]\nver=1.0\n");

        ScriptedInteraction ui;
        TfrmMain main;
        main.showPanel(4);
        RunStartupSequence(&main);

        QTEST(ui.texts(), "messages");
        QStringList urls;
        for (const QUrl &url : ui.opened)
            urls << (url == QUrl::fromLocalFile(m_env->appPath() + ProgramFileName(QStringLiteral("upgrade")))
                         ? QStringLiteral("upgrade") : url.toString());
        QCOMPARE(urls, opened);
        QTEST(TerminateRequested(), "terminate");
        QFETCH(bool, terminate);
        QCOMPARE(RunApplicationLoop(), terminate ? 0 : 99);
        QCOMPARE(main.currentPanel(), 0);
        // The description is kept when it arrived, the old one stays when it did not.
        const bool kept = !updateIni.isEmpty() && updateIni.size() < (1 << 20);
        QCOMPARE(readAll(m_env->appPath() + QStringLiteral("update.ini")), kept ? updateIni : QByteArray("[version]\nver=1.0\n"));
    }

    void upgradeServerFailures_data()
    {
        QTest::addColumn<QString>("url1");
        QTest::newRow("nothing listening") << QStringLiteral("http://127.0.0.1:%1/update.ini").arg(SimServer::unusedPort());
        QTest::newRow("no url1") << QString();
        QTest::newRow("not a web address") << QStringLiteral("file:///etc/hostname");
        QTest::newRow("silent server") << "silent";
    }
    void upgradeServerFailures()
    {
        QFETCH(QString, url1);
        QTcpServer silent; // accepts into its backlog and never answers
        if (url1 == QLatin1String("silent")) {
            QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
            url1 = QStringLiteral("http://127.0.0.1:%1/update.ini").arg(silent.serverPort());
            SetUpgradeTimeout(1000);
        }
        if (url1.isEmpty())
            WriteAuditCfg(m_sim->host());
        else
            WriteAuditCfg(m_sim->host(), url1);
        m_dm->adoQry1.exec(QStringLiteral("insert into psn (swglm, sbqxr_dm) values ('440106700012345', 'Q01_15')"));

        ScriptedInteraction ui;
        TfrmMain main;
        main.showPanel(2);
        RunStartupSequence(&main);
        QCOMPARE(ui.texts(), QStringList{kUpgradeFailed});
        QVERIFY(!TerminateRequested());
        QCOMPARE(RunApplicationLoop(), 99);
        QCOMPARE(main.currentPanel(), 0);
        QVERIFY(!QFile::exists(m_env->appPath() + QStringLiteral("update.ini")));
    }

    void requiredProgramNames_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QString>("message");
        QTest::newRow("program renamed") << "客户端软件"
            << "因自动更新需要，执行文件名需为“客户端软件.exe”，不可改为其他名字，请改回！";
        QTest::newRow("upgrade renamed") << "upgrade"
            << "因自动更新需要，自动更新程序名字需为“upgrade.exe”，不可改为其他名字，请改回！";
    }
    void requiredProgramNames()
    {
        QFETCH(QString, missing);
        QFile::remove(m_env->appPath() + ProgramFileName(missing));
        m_dm->adoQry1.exec(QStringLiteral("insert into psn (swglm, sbqxr_dm) values ('440106700012345', '')"));

        ScriptedInteraction ui;
        TfrmMain main;
        main.showPanel(4);
        RunStartupSequence(&main);
        QFETCH(QString, message);
        QCOMPARE(ui.texts(), QStringList{message});
        QVERIFY(TerminateRequested());
        QCOMPARE(RunApplicationLoop(), 0);
        QCOMPARE(main.currentPanel(), 4);
        QVERIFY(!QFile::exists(MarkerFilePath()));
        QVERIFY(!QFile::exists(m_env->appPath() + QStringLiteral("update.ini")));
    }

    void markerFile()
    {
        m_sim->writeData(QStringLiteral("update.ini"), "[version]\nver=2.0\n");
        {
            QFile old(MarkerFilePath());
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("C:\\old\\place\\with\\a\\longer\\line\r\n");
        }
        ScriptedInteraction ui;
        TfrmMain main;
        RunStartupSequence(&main);
        QCOMPARE(readAll(MarkerFilePath()), m_env->appPath().toLocal8Bit() + "\r\n");
        QVERIFY(ui.texts().isEmpty());
    }

    void markerFileThatCannotBeWritten()
    {
        QVERIFY(QDir().mkpath(MarkerFilePath() + QStringLiteral("/blocked")));
        m_dm->adoQry1.exec(QStringLiteral("insert into psn (swglm, sbqxr_dm) values ('440106700012345', '')"));
        ScriptedInteraction ui;
        TfrmMain main;
        main.showPanel(4);
        RunStartupSequence(&main);
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown.at(0).icon, MsgIcon::Error);
        QVERIFY(ui.texts().at(0).contains(QStringLiteral("quorvane.dat")));
        QVERIFY(!TerminateRequested());
        QCOMPARE(main.currentPanel(), 4);
        QVERIFY(!m_sim->readData(QStringLiteral("bureau-sim.log")).contains("GET /update.ini"));
    }

    void incompleteEnterprise_data()
    {
        QTest::addColumn<QString>("sbqxr");   // "none" for an empty psn table
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<int>("opened");
        QTest::newRow("empty code, yes") << "''" << int(IdYes) << true << 1;
        QTest::newRow("null code, no") << "null" << int(IdNo) << true << 0;
        QTest::newRow("complete") << "'Q01_15'" << int(IdYes) << false << 0;
        QTest::newRow("no enterprise") << "none" << int(IdYes) << false << 0;
    }
    void incompleteEnterprise()
    {
        QFETCH(QString, sbqxr);
        QFETCH(int, answer);
        m_sim->writeData(QStringLiteral("update.ini"), "[version]\nver=2.0\n");
        if (sbqxr != QLatin1String("none"))
            m_dm->adoQry1.exec(QStringLiteral("insert into psn (swglm, sbqxr_dm) values ('440106700012345', %1)").arg(sbqxr));
        ScriptedInteraction ui;
        ui.answer(answer);
        TfrmMain main;
        RunStartupSequence(&main);
        QTEST(ui.texts() == QStringList{QStringLiteral("为了申报信息准确，请重新下载企业信息！")}, "asked");
        if (!ui.shown.isEmpty())
            QCOMPARE(ui.shown.at(0).buttons, MsgButtons::YesNo);
        QTEST(m_opened, "opened");
    }

    void registration_data()
    {
        QTest::addColumn<QString>("library"); // copied as cell/libCellCtrl5; empty for none
        QTest::addColumn<bool>("registered"); // key already set
        QTest::addColumn<bool>("failed");
        QTest::newRow("already registered") << "" << true << false;
        QTest::newRow("library registers") << CELLSTUB_OK_PATH << false << false;
        QTest::newRow("no library") << "" << false << true;
        QTest::newRow("no DllRegisterServer") << CELLSTUB_NOENTRY_PATH << false << true;
        QTest::newRow("DllRegisterServer fails") << CELLSTUB_FAILS_PATH << false << true;
    }
    void registration()
    {
        QFETCH(QString, library);
        QFETCH(bool, registered);
        QFETCH(bool, failed);
        m_sim->writeData(QStringLiteral("update.ini"), "[version]\nver=2.0\n");
        if (!registered)
            Registry::removeKey(Registry::cellTypeLibKey());
        if (!library.isEmpty()) {
            QDir().mkpath(m_env->appPath() + QStringLiteral("cell"));
            QVERIFY(QFile::copy(library, m_env->appPath() + QStringLiteral("cell/") + LibraryFileName(QStringLiteral("CellCtrl5"))));
        }
        ScriptedInteraction ui;
        TfrmMain main;
        main.showPanel(4);
        RunStartupSequence(&main);
        QCOMPARE(ui.texts(), failed ? QStringList{QStringLiteral("表格控件注册失败!")} : QStringList());
        if (failed)
            QCOMPARE(ui.shown.at(0).icon, MsgIcon::Error);
        QCOMPARE(Registry::readDefault(Registry::cellTypeLibKey()).isEmpty(), failed);
        // The sequence goes on after a failed registration.
        QCOMPARE(main.currentPanel(), 0);
        QVERIFY(QFile::exists(MarkerFilePath()));
    }

private:
    QTemporaryDir m_home;
    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<Tdm> m_dm;
    std::unique_ptr<SimServer> m_sim;
    int m_opened = 0;
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
