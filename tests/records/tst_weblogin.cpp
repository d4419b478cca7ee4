// SPDX-License-Identifier: GPL-3.0-or-later
// The login dialog against the bureau simulator: both modes, every verdict of the answer, the
// remembered code, and codes that must never reach a file name.
#include "ScriptedInteraction.h"
#include "SimServer.h"
#include "TestEnv.h"
#include "UntMySoap.h"
#include "untDm.h"
#include "untProcess.h"
#include "untWebLogin.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace lw;
using namespace lw::test;

namespace {
const QString kCode = QStringLiteral("440106700012345");
const QString kAnswer = QStringLiteral("answers/DATA_RY_upload_440106700012345.xml");

bool ProgressVisible()
{
    return TProcess::existing() && TProcess::existing()->isVisible();
}
} // namespace

class TestWebLogin : public QObject
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
        m_sim = std::make_unique<SimServer>();
        QVERIFY(m_sim->start());
        WriteAuditCfg(m_sim->host());
        m_ui = std::make_unique<ScriptedInteraction>();
    }
    void cleanup()
    {
        m_ui.reset();
        m_sim.reset();
        m_dm.reset();
        m_env.reset();
    }

    void download_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("forced"); // key=value for the simulator, or empty
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("answerKept");   // the answer stays in xml/
        QTest::addColumn<bool>("serverCopyLeft");

        QTest::newRow("right password") << "123456" << "" << true << QStringList{} << true << false;
        // Blanks around a password are removed, as the password change removes them.
        QTest::newRow("blanks around the password") << " \t123456  " << "" << true << QStringList{} << true << false;
        QTest::newRow("wrong password: verdict f, copy discarded")
            << "000000" << "" << false << QStringList{"税务管理码或登录密码输入不正确，请检查！"} << true << false;
        QTest::newRow("version 1.0: copy stays") << "123456" << "version=1.0" << false
                                                 << QStringList{"软件版本低，请到税务局网站上面下载最新软件！"} << true << true;
        QTest::newRow("empty download") << "123456" << "downfile=empty" << false
                                        << QStringList{"下载企业信息失败，请稍后再试！"} << false << true;
        QTest::newRow("delete fails") << "123456" << "deletedownfile=0" << false
                                      << QStringList{"处理企业信息失败，请稍后再试！"} << true << true;
        QTest::newRow("request refused with 2") << "123456" << "uploadfile=2" << false
                                                << QStringList{"上传企业信息失败，请稍后再试！"} << false << false;
    }
    void download()
    {
        QFETCH(QString, password);
        QFETCH(QString, forced);
        QFETCH(bool, accepted);
        QFETCH(QStringList, messages);
        QFETCH(bool, answerKept);
        QFETCH(bool, serverCopyLeft);
        if (!forced.isEmpty())
            m_sim->force(forced.section(QLatin1Char('='), 0, 0), forced.section(QLatin1Char('='), 1));

        TfrmWebLogin dlg;
        dlg.LoginMode = 1;
        submit(dlg, kCode, password);
        QTRY_VERIFY(dlg.result() == QDialog::Accepted || !m_ui->shown.isEmpty());
        QTest::qWait(20); // a tick that wrongly stayed armed would show a second message
        QCOMPARE(dlg.result() == QDialog::Accepted, accepted);
        QCOMPARE(m_ui->texts(), messages);
        QCOMPARE(dm()->TaxCode, kCode);
        QCOMPARE(QFile::exists(m_env->appPath() + QStringLiteral("xml/DATA_RY_upload_") + kCode + QStringLiteral(".xml")), answerKept);
        QCOMPARE(QFile::exists(m_sim->dataDir() + QLatin1Char('/') + kAnswer), serverCopyLeft);
        QVERIFY(QDir(m_env->appPath() + QStringLiteral("tmp")).isEmpty()); // the request left at once
        QVERIFY(!ProgressVisible());
        if (!accepted) { // stays open for another try
            QVERIFY(dlg.isVisible());
            if (!forced.isEmpty())
                m_sim->clearForced();
            m_ui->clear();
            dlg.findChild<QLineEdit *>(QStringLiteral("edtPassword"))->setText(QStringLiteral("123456"));
            QTest::mouseClick(dlg.findChild<QPushButton *>(QStringLiteral("bbtnOK")), Qt::LeftButton);
            QTRY_COMPARE(dlg.result(), int(QDialog::Accepted));
            QCOMPARE(m_ui->texts(), QStringList{});
        }
    }

    void noConnection()
    {
        WriteAuditCfg(QStringLiteral("127.0.0.1:%1").arg(SimServer::unusedPort()));
        TfrmWebLogin dlg;
        submit(dlg, kCode, QStringLiteral("123456"));
        QCOMPARE(m_ui->texts(), QStringList{"无法连接到指定的Web服务器，请稍后再试！"});
        QVERIFY(dlg.isVisible());
        QVERIFY(dlg.result() != QDialog::Accepted);
        QVERIFY(QDir(m_env->appPath() + QStringLiteral("tmp")).isEmpty());
        QVERIFY(!ProgressVisible());
    }

    void uploadModeClosesOnAnySentResult_data()
    {
        QTest::addColumn<QString>("forced");
        QTest::newRow("1") << "";
        QTest::newRow("3") << "uploadfile=3";
        QTest::newRow("wrapper error text") << "garbage=uploadfile";
    }
    void uploadModeClosesOnAnySentResult()
    {
        QFETCH(QString, forced);
        if (!forced.isEmpty())
            m_sim->force(forced.section(QLatin1Char('='), 0, 0), forced.section(QLatin1Char('='), 1));
        TfrmWebLogin dlg;
        dlg.LoginMode = 2;
        submit(dlg, kCode, QStringLiteral("secret"));
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(m_ui->texts(), QStringList{});
        QCOMPARE(dlg.code(), kCode);
        QCOMPARE(dlg.password(), QStringLiteral("secret"));
        QVERIFY(m_sim->request(QStringLiteral("downfile")).isEmpty());
        QVERIFY(QDir(m_env->appPath() + QStringLiteral("tmp")).isEmpty());
        QVERIFY(!ProgressVisible());
    }

    void unsafeCodeRefusedBeforeAnyFile_data()
    {
        QTest::addColumn<QString>("code");
        QTest::newRow("empty") << "";
        QTest::newRow("blanks") << "   ";
        QTest::newRow("slash") << "a/b";
        QTest::newRow("dot dot") << "../../etc/x";
        QTest::newRow("backslash") << "..\\x";
        QTest::newRow("space") << "4401 06";
        QTest::newRow("non-ascii") << "税务123";
    }
    void unsafeCodeRefusedBeforeAnyFile()
    {
        QFETCH(QString, code);
        for (int mode : {1, 2}) {
            m_ui->clear();
            TfrmWebLogin dlg;
            dlg.LoginMode = mode;
            submit(dlg, code, QStringLiteral("123456"));
            QCOMPARE(m_ui->texts(), QStringList{code.trimmed().isEmpty() ? QStringLiteral("税务管理码不能为空！")
                                                                         : QStringLiteral("税务管理码只能由字母、数字、“-”和“_”组成，请检查！")});
            QVERIFY(dlg.isVisible());
        }
        dm()->adoQry1.select(QStringLiteral("select count(*) as n from enpbas where trim(swglm)=''"));
        QCOMPARE(dm()->adoQry1.FieldByName(QStringLiteral("n")).toInt(), 0);
        QVERIFY(QDir(m_env->appPath() + QStringLiteral("tmp")).isEmpty());
        QVERIFY(QDir(m_env->appPath() + QStringLiteral("xml")).isEmpty());
        QVERIFY(m_sim->request(QStringLiteral("ChkConnected")).isEmpty());
        QVERIFY(m_sim->request(QStringLiteral("uploadfile")).isEmpty());
        QVERIFY(!ProgressVisible());
    }

    void enpbasRemembersTheCode()
    {
        dm()->adoQry1.exec(QStringLiteral("delete from enpbas"));
        {
            TfrmWebLogin dlg;
            dlg.LoginMode = 2;
            submit(dlg, kCode, QStringLiteral("123456"));
        }
        dm()->adoQry1.select(QStringLiteral("select count(*) as n, max(swglm) as c from enpbas"));
        QCOMPARE(dm()->adoQry1.FieldByName(QStringLiteral("n")).toInt(), 1);
        QCOMPARE(dm()->adoQry1.text(QStringLiteral("c")), kCode);
        TfrmWebLogin again;
        again.show();
        QCOMPARE(again.code(), kCode);
        submit(again, QStringLiteral("440111700067890"), QStringLiteral("888888"));
        dm()->adoQry1.select(QStringLiteral("select count(*) as n, max(swglm) as c from enpbas"));
        QCOMPARE(dm()->adoQry1.FieldByName(QStringLiteral("n")).toInt(), 1);
        QCOMPARE(dm()->adoQry1.text(QStringLiteral("c")), QStringLiteral("440111700067890"));
    }

    void failedFetchIsRetriedUntilItSucceeds()
    {
        m_sim->force(QStringLiteral("garbage"), QStringLiteral("downfile"));
        TfrmWebLogin dlg;
        dlg.LoginMode = 1;
        submit(dlg, kCode, QStringLiteral("123456"));
        QTRY_VERIFY(!m_ui->shown.isEmpty()); // the standard error box; the dialog waits on
        QVERIFY(dlg.isVisible());
        QVERIFY(dlg.result() != QDialog::Accepted);
        m_sim->clearForced();
        QTRY_COMPARE(dlg.result(), int(QDialog::Accepted));
        for (const Shown &s : m_ui->shown)
            QCOMPARE(s.icon, MsgIcon::Error);
        QVERIFY(!ProgressVisible());
    }

    void cancelWhileWaitingStopsTheDownload()
    {
        TfrmWebLogin::setWaitMilliseconds(60000);
        TfrmWebLogin dlg;
        dlg.LoginMode = 1;
        submit(dlg, kCode, QStringLiteral("123456"));
        TfrmWebLogin::setWaitMilliseconds(0);
        QVERIFY(ProgressVisible());
        QCOMPARE(TProcess::existing()->message(), QStringLiteral("正在验证密码，请稍后。。。"));
        QTest::mouseClick(dlg.findChild<QPushButton *>(QStringLiteral("bbtnCancel")), Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(!ProgressVisible());
        QTest::qWait(20);
        QVERIFY(m_sim->request(QStringLiteral("downfile")).isEmpty());
        QCOMPARE(m_ui->texts(), QStringList{});
    }

private:
    void submit(TfrmWebLogin &dlg, const QString &code, const QString &password)
    {
        if (!dlg.isVisible())
            dlg.show();
        dlg.findChild<QLineEdit *>(QStringLiteral("edtSwglm"))->setText(code);
        dlg.findChild<QLineEdit *>(QStringLiteral("edtPassword"))->setText(password);
        QTest::mouseClick(dlg.findChild<QPushButton *>(QStringLiteral("bbtnOK")), Qt::LeftButton);
    }

    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<Tdm> m_dm;
    std::unique_ptr<SimServer> m_sim;
    std::unique_ptr<ScriptedInteraction> m_ui;
};

QTEST_MAIN(TestWebLogin)
#include "tst_weblogin.moc"
