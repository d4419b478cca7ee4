// SPDX-License-Identifier: GPL-3.0-or-later
// The password window against the bureau simulator: the checks before sending, the connection
// check, the enterprise code it sends, and what stays in the fields afterwards.
#include "ScriptedInteraction.h"
#include "SimServer.h"
#include "TestEnv.h"
#include "untChangePass.h"
#include "untDm.h"
#include "untProcess.h"

#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QtTest>

#include <memory>

using namespace lw;
using namespace lw::test;

namespace {
const QString kCode = QStringLiteral("440106700012345");
}

class TestChangePass : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        m_env->copyFromStage(QStringLiteral("running.gif"));
        m_dm = std::make_unique<Tdm>();
        QVERIFY(m_dm->connected());
        m_sim = std::make_unique<SimServer>();
        QVERIFY(m_sim->start());
        WriteAuditCfg(m_sim->host());
    }
    void cleanup()
    {
        m_sim.reset();
        m_dm.reset();
        m_env.reset();
    }

    void layout()
    {
        TfrmChangePass form;
        QCOMPARE(form.windowTitle(), QStringLiteral("密码修改"));
        QCOMPARE(form.size(), QSize(272, 201));
        for (const char *name : {"edtOld", "edtNew1", "edtNew2"}) {
            auto *edit = form.findChild<QLineEdit *>(QLatin1String(name));
            QVERIFY(edit);
            QCOMPARE(edit->echoMode(), QLineEdit::Password);
            QCOMPARE(edit->maxLength(), 20);
            QCOMPARE(edit->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, edit), int('*'));
        }
        QCOMPARE(form.findChild<QPushButton *>(QStringLiteral("bbtnOK"))->text(), QStringLiteral("确定"));
        QCOMPARE(form.findChild<QPushButton *>(QStringLiteral("bbtnCancel"))->text(), QStringLiteral("取消"));
    }

    void paths_data()
    {
        QTest::addColumn<QString>("oldPassword");
        QTest::addColumn<QString>("new1");
        QTest::addColumn<QString>("new2");
        QTest::addColumn<QString>("enpbas");    // code in enpbas, empty for an empty table
        QTest::addColumn<QString>("forced");    // key=value for the simulator
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QStringList>("fieldsAfter"); // old, new1, new2
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("sentCode"); // AsTaxID of ChangePwd; "-" when none was sent

        QTest::newRow("blank old") << "   " << "a" << "a" << kCode << ""
                                   << QStringList{"原密码不能为空！"} << false << QStringList{"   ", "a", "a"} << "edtOld" << "-";
        QTest::newRow("blank new") << "123456" << " " << " " << kCode << ""
                                   << QStringList{"新密码不能为空！"} << false << QStringList{"123456", " ", " "} << "edtNew1" << "-";
        QTest::newRow("mismatch") << "123456" << "abc" << "abd" << kCode << ""
                                  << QStringList{"新密码与确认密码不一致！"} << false << QStringList{"123456", "", ""} << "edtNew1" << "-";
        QTest::newRow("no connection") << "123456" << "abc" << "abc" << kCode << "ChkConnected=0"
                                       << QStringList{"无法连接到指定的Web服务器，请稍后再试！"} << false
                                       << QStringList{"123456", "abc", "abc"} << "" << "-";
        QTest::newRow("success, blanks trimmed") << " 123456 " << " abc" << "abc " << kCode << ""
                                                 << QStringList{"恭喜,密码修改成功！"} << true
                                                 << QStringList{" 123456 ", " abc", "abc "} << "" << kCode;
        QTest::newRow("refused keeps fields") << "wrong" << "abc" << "abc" << kCode << ""
                                              << QStringList{"密码修改错误!"} << false
                                              << QStringList{"wrong", "abc", "abc"} << "" << kCode;
        QTest::newRow("empty enpbas sends the code of the run") << "123456" << "abc" << "abc" << "" << ""
                                                                << QStringList{"请先设置企业信息!", "恭喜,密码修改成功！"} << true
                                                                << QStringList{"123456", "abc", "abc"} << "" << kCode;
    }
    void paths()
    {
        QFETCH(QString, oldPassword);
        QFETCH(QString, new1);
        QFETCH(QString, new2);
        QFETCH(QString, enpbas);
        QFETCH(QString, forced);
        QFETCH(QStringList, fieldsAfter);
        QFETCH(QString, focus);
        QFETCH(QString, sentCode);

        m_dm->adoQry1.exec(QStringLiteral("delete from enpbas"));
        if (!enpbas.isEmpty())
            m_dm->adoQry1.exec(QStringLiteral("insert into enpbas (swglm) values (%1)").arg(QuotedStr(enpbas)));
        // With an empty table the code of an earlier login in the same run is sent.
        m_dm->TaxCode = enpbas.isEmpty() ? kCode : QStringLiteral("stale");
        if (!forced.isEmpty())
            m_sim->force(forced.section(QLatin1Char('='), 0, 0), forced.section(QLatin1Char('='), 1));

        ScriptedInteraction ui;
        TfrmChangePass form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        auto *edtOld = form.findChild<QLineEdit *>(QStringLiteral("edtOld"));
        auto *edtNew1 = form.findChild<QLineEdit *>(QStringLiteral("edtNew1"));
        auto *edtNew2 = form.findChild<QLineEdit *>(QStringLiteral("edtNew2"));
        edtOld->setText(oldPassword);
        edtNew1->setText(new1);
        edtNew2->setText(new2);
        edtNew2->setFocus();
        QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("bbtnOK")), Qt::LeftButton);

        QTEST(ui.texts(), "messages");
        QTEST(form.result() == QDialog::Accepted, "accepted");
        QCOMPARE((QStringList{edtOld->text(), edtNew1->text(), edtNew2->text()}), fieldsAfter);
        if (!focus.isEmpty())
            QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QVERIFY(!TProcess::existing() || !TProcess::existing()->isVisible());

        const QByteArray request = m_sim->request(QStringLiteral("ChangePwd"));
        if (sentCode == QLatin1String("-")) {
            QVERIFY(request.isEmpty());
        } else {
            QVERIFY(request.contains("<AsTaxID xsi:type=\"xsd:string\">" + sentCode.toUtf8() + "</AsTaxID>"));
            QVERIFY(request.contains("<AsPsw_Old xsi:type=\"xsd:string\">" + oldPassword.trimmed().toUtf8() + "</AsPsw_Old>"));
            QVERIFY(request.contains("<AsPsw_New xsi:type=\"xsd:string\">" + new1.trimmed().toUtf8() + "</AsPsw_New>"));
            if (!enpbas.isEmpty())
                QCOMPARE(m_dm->TaxCode, enpbas);
        }
    }

private:
    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<Tdm> m_dm;
    std::unique_ptr<SimServer> m_sim;
};

QTEST_MAIN(TestChangePass)
#include "tst_changepass.moc"
