// SPDX-License-Identifier: GPL-3.0-or-later
// Copies of the database: safety copies, the user's backup and restore with its checks, and the
// owner-only modes of the data.
#include "Backup.h"
#include "Clock.h"
#include "ExchangeDoc.h"
#include "ScriptedInteraction.h"
#include "TestEnv.h"
#include "untDm.h"
#include "untMain.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

using namespace lw;

namespace {

const QStringList kTables{"psn", "hhrtzqk", "recal_yj", "wa_mbksmxsheet", "sbjl"};

void fill()
{
    auto &q = dm()->adoQry1;
    q.exec(QStringLiteral("insert into psn (swglm,nsr_mc) values ('440106700012345','广州市穗禾咨询服务合伙企业')"));
    q.exec(QStringLiteral("insert into hhrtzqk (hhrswglm,hhr_mc,fp_bl) values ('440106197803152','陈志明',30)"));
    q.exec(QStringLiteral("insert into recal_yj (col,row,sheet,type,sValue,qsrq,zzrq) values (4,8,0,2,'400,000.00','2026-10-01','2026-12-31')"));
    q.exec(QStringLiteral("insert into wa_mbksmxsheet (swglm,qsrq,zzrq,nd) values ('440106700012345','2025-01-01','2025-12-31',2024)"));
    q.exec(QStringLiteral("insert into sbjl (jllx,bblx,bbmc,cg) values ('上传',1,'季度预缴',1)"));
}

// Every row of every table, as text.
QStringList contents()
{
    QStringList rows;
    QSqlQuery tables(dm()->adoConn);
    tables.exec(QStringLiteral("select name from sqlite_master where type='table' order by name"));
    QStringList names;
    while (tables.next())
        names << tables.value(0).toString();
    for (const QString &t : names) {
        QSqlQuery q(dm()->adoConn);
        q.exec(QStringLiteral("select * from ") + t);
        while (q.next()) {
            QStringList values{t};
            for (int i = 0; i < q.record().count(); ++i)
                values << q.value(i).toString();
            rows << values.join(QLatin1Char('|'));
        }
    }
    return rows;
}

QAction *action(TfrmMain &w, const char *name)
{
    return w.findChild<QAction *>(QLatin1String(name));
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void safetyCopiesKeepNewestTen();
    void backupThenRestoreRoundTrips();
    void badCopiesRefused_data();
    void badCopiesRefused();
    void downloadWritesSafetyCopyFirst();
    void restoreRefusedWhileWindowOpen();
    void dataIsOwnerOnly();

private:
    std::unique_ptr<test::TestEnv> m_env;
    std::unique_ptr<test::ScriptedInteraction> m_ui;
    std::unique_ptr<Tdm> m_dm;
};

void TestBackup::init()
{
    m_env = std::make_unique<test::TestEnv>();
    m_env->copyFromStage(QStringLiteral("jpg"));
    QDir().mkpath(m_env->appPath() + QStringLiteral("tmp"));
    QDir().mkpath(m_env->appPath() + QStringLiteral("xml"));
    m_ui = std::make_unique<test::ScriptedInteraction>();
    m_ui->setStrict(true);
    m_dm = std::make_unique<Tdm>();
}

void TestBackup::cleanup()
{
    QVERIFY2(m_ui->unexpected.isEmpty(), qPrintable(m_ui->unexpected.join(QLatin1Char('|'))));
    Clock::reset();
    m_dm.reset();
    m_ui.reset();
    m_env.reset();
}

void TestBackup::safetyCopiesKeepNewestTen()
{
    QStringList written;
    for (int i = 0; i < 12; ++i) {
        Clock::setFixed(QDateTime(QDate(2026, 12, 11), QTime(9, 0, i)));
        written << QFileInfo(WriteSafetyCopy(QStringLiteral("download"))).fileName();
    }
    const QStringList kept = QDir(SafetyCopyDir()).entryList({QStringLiteral("*.sqlite")}, QDir::Files, QDir::Name);
    QCOMPARE(kept, written.mid(2));
}

void TestBackup::backupThenRestoreRoundTrips()
{
    fill();
    const QStringList before = contents();
    QTemporaryDir out;
    TfrmMain w;
    m_ui->clear();
    m_ui->answerFileName(out.filePath(QStringLiteral("备份")));
    action(w, "NBackup")->trigger();
    const QString copy = out.filePath(QStringLiteral("备份.sqlite"));
    QVERIFY(QFile::exists(copy));
    QCOMPARE(m_ui->texts(), QStringList{QStringLiteral("数据备份完成：") + copy});

    for (const QString &t : kTables)
        dm()->adoQry1.exec(QStringLiteral("delete from ") + t);
    dm()->adoQry1.exec(QStringLiteral("insert into psn (swglm) values ('999')"));
    m_ui->clear();
    m_ui->answerFileName(copy);
    m_ui->answer(IdYes);
    action(w, "NRestore")->trigger();
    QCOMPARE(m_ui->shown.size(), 2);
    QVERIFY(m_ui->shown[0].text.contains(QStringLiteral("广州市穗禾咨询服务合伙企业（440106700012345）")));
    QCOMPARE(m_ui->shown[0].buttons, MsgButtons::YesNoDefaultNo);
    QCOMPARE(m_ui->shown[1].text, QStringLiteral("数据恢复完成！"));
    QCOMPARE(contents(), before);
    // The data it replaced is kept as a safety copy.
    QCOMPARE(QDir(SafetyCopyDir()).entryList({QStringLiteral("restore_*.sqlite")}).size(), 1);
}

void TestBackup::badCopiesRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("truncated") << "truncated" << "完好";
    QTest::newRow("another schema") << "foreign" << "缺少数据表";
    QTest::newRow("corrupt") << "corrupt" << "完好";
    QTest::newRow("empty") << "empty" << "为空";
}

void TestBackup::badCopiesRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    fill();
    const QStringList before = contents();
    QTemporaryDir out;
    const QString good = out.filePath(QStringLiteral("good.sqlite"));
    WriteDatabaseCopy(good);
    QFile file(good);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    file.close();
    const QString bad = out.filePath(QStringLiteral("bad.sqlite"));
    if (kind == QLatin1String("truncated")) {
        bytes.truncate(bytes.size() / 2);
    } else if (kind == QLatin1String("corrupt")) {
        for (qsizetype i = 4096; i < bytes.size(); i += 7)
            bytes[i] = char(0xA5);
    } else if (kind == QLatin1String("empty")) {
        bytes.clear();
    }
    if (kind == QLatin1String("foreign")) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("foreign"));
        db.setDatabaseName(bad);
        QVERIFY(db.open());
        QSqlQuery(db).exec(QStringLiteral("create table accounts (id integer, name text)"));
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("foreign"));
    } else {
        QFile out(bad);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    TfrmMain w;
    m_ui->clear();
    m_ui->answerFileName(bad);
    action(w, "NRestore")->trigger();
    QCOMPARE(m_ui->shown.size(), 1);
    QCOMPARE(m_ui->shown[0].icon, MsgIcon::Error);
    QVERIFY2(m_ui->shown[0].text.contains(reason), qPrintable(m_ui->shown[0].text));
    QCOMPARE(contents(), before);
    QVERIFY(!QDir(SafetyCopyDir()).exists() || QDir(SafetyCopyDir()).isEmpty());
}

// The copy holds the enterprise the download replaced; without a copy the download changes nothing.
void TestBackup::downloadWritesSafetyCopyFirst()
{
    fill();
    EnterpriseAnswer answer;
    answer.enterprise.insert(QStringLiteral("swglm"), QStringLiteral("440111700067890"));
    StoreEnterpriseAnswer(answer);
    const QStringList copies = QDir(SafetyCopyDir()).entryList({QStringLiteral("download_*.sqlite")});
    QCOMPARE(copies.size(), 1);
    QVERIFY(CheckDatabaseCopy(SafetyCopyDir() + copies.first()).enterpriseCode == QLatin1String("440106700012345"));

    QDir(SafetyCopyDir()).removeRecursively();
    m_env->writeFile(QStringLiteral("db/backup"), "not a folder");
    answer.enterprise.insert(QStringLiteral("swglm"), QStringLiteral("440000000000000"));
    QVERIFY_THROWS_EXCEPTION(DbError, StoreEnterpriseAnswer(answer));
    dm()->ADOQuery1.select(QStringLiteral("select swglm from psn"));
    QCOMPARE(dm()->ADOQuery1.text(QStringLiteral("swglm")), QStringLiteral("440111700067890"));
}

void TestBackup::restoreRefusedWhileWindowOpen()
{
    TfrmMain w;
    QDialog other(&w);
    other.show();
    m_ui->clear();
    action(w, "NRestore")->trigger();
    QCOMPARE(m_ui->texts(), QStringList{QStringLiteral("请先关闭申报表、企业信息等窗口，再进行数据恢复！")});
    QVERIFY(m_ui->openDialogs.isEmpty());
}

void TestBackup::dataIsOwnerOnly()
{
    const auto mode = [](const QString &path) { return QFile::permissions(path) & 0x7077; };
    const auto ownerFile = QFile::ReadOwner | QFile::WriteOwner;
    const auto ownerDir = ownerFile | QFile::ExeOwner;
    QCOMPARE(mode(dm()->databasePath()), ownerFile);
    QCOMPARE(mode(m_env->appPath() + QStringLiteral("tmp")), ownerDir);
    QCOMPARE(mode(m_env->appPath() + QStringLiteral("xml")), ownerDir);
    // Files the program writes from now on, e.g. an upload document under tmp/.
    m_env->writeFile(QStringLiteral("tmp/DATA_YJBB_1.xml"), "<a/>");
    QCOMPARE(mode(m_env->appPath() + QStringLiteral("tmp/DATA_YJBB_1.xml")), ownerFile);
}

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
