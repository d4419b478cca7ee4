// SPDX-License-Identifier: GPL-3.0-or-later
#include "MessageBoxes.h"
#include "ScriptedInteraction.h"
#include "TestEnv.h"
#include "UserInteraction.h"
#include "untDm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace lw;

class TestDataModule : public QObject
{
    Q_OBJECT
private slots:
    void askBoxResults_data();
    void askBoxResults();
    void boxKinds_data();
    void boxKinds();
    void databaseFoundFromAnyDirectory();
    void missingDatabaseReportedNotCreated();
    void registrationCommandsInOrder();
    void quotedStrDoublesQuotes();
    void failedStatementRaises();
};

// Presses a button of the desktop message box once it is up: by its text, or closes it.
static void pressWhenShown(const QString &buttonText, int *buttonCount)
{
    QTimer::singleShot(0, [buttonText, buttonCount] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            pressWhenShown(buttonText, buttonCount);
            return;
        }
        *buttonCount = int(box->buttons().size());
        if (buttonText.isEmpty()) {
            box->close();
            return;
        }
        for (QAbstractButton *b : box->buttons()) {
            if (b->text() == buttonText) {
                b->click();
                return;
            }
        }
        box->close();
    });
}

void TestDataModule::askBoxResults_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("press");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("buttonCount");
    QTest::newRow("kind 2 yes") << 2 << "是(&Y)" << 6 << 2;
    QTest::newRow("kind 2 no") << 2 << "否(&N)" << 7 << 2;
    QTest::newRow("kind 3 yes") << 3 << "是(&Y)" << 6 << 3;
    QTest::newRow("kind 3 cancel") << 3 << "取消" << 2 << 3;
    QTest::newRow("kind 3 close box is cancel") << 3 << "" << 2 << 3;
    QTest::newRow("kind 1 ok") << 1 << "确定" << 1 << 1;
    QTest::newRow("kind 0 ok") << 0 << "确定" << 1 << 1;
}

void TestDataModule::askBoxResults()
{
    QFETCH(int, kind);
    QFETCH(QString, press);
    QFETCH(int, result);
    QFETCH(int, buttonCount);
    int buttons = -1;
    pressWhenShown(press, &buttons);
    QCOMPARE(AskBox(QStringLiteral("继续吗？"), kind), result);
    QCOMPARE(buttons, buttonCount);
}

void TestDataModule::boxKinds_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("icon");
    QTest::newRow("AskBox") << 0 << "提示" << int(MsgIcon::Question);
    QTest::newRow("ErrorBox") << 1 << "错误" << int(MsgIcon::Error);
    QTest::newRow("InfoBox") << 2 << "提示" << int(MsgIcon::Information);
    QTest::newRow("WarnBox") << 3 << "警告" << int(MsgIcon::Warning);
}

void TestDataModule::boxKinds()
{
    QFETCH(int, which);
    QFETCH(QString, caption);
    QFETCH(int, icon);
    test::ScriptedInteraction ui;
    switch (which) {
    case 0: AskBox(QStringLiteral("文本"), 2); break;
    case 1: ErrorBox(QStringLiteral("文本")); break;
    case 2: InfoBox(QStringLiteral("文本")); break;
    case 3: WarnBox(QStringLiteral("文本")); break;
    }
    QCOMPARE(ui.shown.size(), 1);
    QCOMPARE(ui.shown[0].caption, caption);
    QCOMPARE(int(ui.shown[0].icon), icon);
    QCOMPARE(ui.shown[0].text, QStringLiteral("文本"));
    QCOMPARE(ui.shown[0].buttons, which == 0 ? MsgButtons::YesNo : MsgButtons::Ok);
}

void TestDataModule::databaseFoundFromAnyDirectory()
{
    test::TestEnv env;
    test::ScriptedInteraction ui;
    QTemporaryDir elsewhere;
    const QString before = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    {
        Tdm tdm;
        QDir::setCurrent(before);
        QVERIFY(tdm.connected());
        QCOMPARE(tdm.AppPath, env.appPath());
        tdm.adoQry1.select(QStringLiteral("select version from wa_version"));
        QCOMPARE(tdm.adoQry1.FieldByName(QStringLiteral("version")).toDouble(), 2.0);
    }
    QVERIFY(ui.shown.isEmpty());
    QVERIFY(!QFileInfo::exists(elsewhere.filePath(QStringLiteral("db/db.sqlite"))));
}

void TestDataModule::missingDatabaseReportedNotCreated()
{
    test::TestEnv env(false);
    test::ScriptedInteraction ui;
    Tdm tdm;
    QVERIFY(!tdm.connected());
    QCOMPARE(ui.shown.size(), 1);
    QVERIFY(ui.shown[0].text.contains(QStringLiteral("db/db.sqlite")));
    QVERIFY(!QFileInfo::exists(env.appPath() + QStringLiteral("db/db.sqlite")));
    // Later statements fail with their own error instead of crashing.
    QVERIFY_THROWS_EXCEPTION(DbError, tdm.adoQry1.select(QStringLiteral("select * from psn")));
}

void TestDataModule::registrationCommandsInOrder()
{
    test::TestEnv env;
    Tdm tdm;
    const QString regsvr = env.appPath() + QStringLiteral("Regsvr32");
    const QString ctrl = env.appPath() + QStringLiteral("cell/libCellCtrl5.so");
    const QString companion = env.appPath() + QStringLiteral("cell/libYRWXls.so");
    const QStringList expected{
        regsvr + " -s " + ctrl, regsvr + " -s " + companion, regsvr + " -s -u " + ctrl,
        regsvr + " -s -u " + companion, regsvr + " -s " + ctrl, regsvr + " -s " + companion};
    QCOMPARE(env.started, expected);
}

void TestDataModule::quotedStrDoublesQuotes()
{
    QCOMPARE(QuotedStr(QStringLiteral("O'Brien")), QStringLiteral("'O''Brien'"));
    QCOMPARE(QuotedStr(QString()), QStringLiteral("''"));
    test::TestEnv env;
    Tdm tdm;
    const QString hostile = QStringLiteral("x'); delete from wa_version; --");
    tdm.adoQry1.exec(QStringLiteral("insert into enpbas (swglm) values (") + QuotedStr(hostile) + QStringLiteral(")"));
    tdm.adoQry1.select(QStringLiteral("select swglm from enpbas"));
    QCOMPARE(tdm.adoQry1.text(QStringLiteral("swglm")), hostile);
    tdm.adoQry1.select(QStringLiteral("select count(*) as n from wa_version"));
    QCOMPARE(tdm.adoQry1.FieldByName(QStringLiteral("n")).toInt(), 1);
}

void TestDataModule::failedStatementRaises()
{
    test::TestEnv env;
    Tdm tdm;
    QVERIFY_THROWS_EXCEPTION(DbError, tdm.adoQry1.exec(QStringLiteral("delete from no_such_table")));
    tdm.adoQry1.select(QStringLiteral("select * from psn"));
    QVERIFY(tdm.adoQry1.IsEmpty());
    QVERIFY_THROWS_EXCEPTION(DbError, tdm.adoQry1.FieldByName(QStringLiteral("swglm")));
}

QTEST_MAIN(TestDataModule)
#include "tst_datamodule.moc"
