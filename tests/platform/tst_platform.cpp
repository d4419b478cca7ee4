// SPDX-License-Identifier: GPL-3.0-or-later
#include "IniFile.h"
#include "NumberFormat.h"
#include "Paths.h"
#include "Registry.h"
#include "SingleInstance.h"
#include "TestEnv.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>

#include <cmath>

using namespace lw;

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void formatGeneral_data();
    void formatGeneral();
    void iniFile_data();
    void iniFile();
    void singleInstanceRefusesSecond();
    void singleInstanceAfterKilledOwner();
    void registryRoundTrip();
    void appPathFromEnvironment();
    void regsvr32CallsEntries_data();
    void regsvr32CallsEntries();

private:
    QTemporaryDir m_runtime;
};

void TestPlatform::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    // The lock lives in the runtime directory; share a private one with the child processes.
    qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestPlatform::formatGeneral_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("one decimal") << 12.5 << "12.5";
    QTest::newRow("negative integer") << -3.0 << "-3";
    QTest::newRow("third") << 1.0 / 3.0 << "0.333333333333333";
    QTest::newRow("cents") << 15794.12 << "15794.12";
    QTest::newRow("binary noise hidden") << 0.1 + 0.2 << "0.3";
    QTest::newRow("large amount") << 123456789012.34 << "123456789012.34";
    QTest::newRow("no separators") << 1234567.0 << "1234567";
    QTest::newRow("small fraction") << 0.00001 << "0.00001";
    QTest::newRow("tiny written out") << -1.5e-7 << "-0.00000015";
    QTest::newRow("huge written out") << 1e20 << "100000000000000000000";
    QTest::newRow("15 digits then zeros") << 1234567890123456789.0 << "1234567890123460000";
    QTest::newRow("rounds at 15 digits") << 0.1234567890123456 << "0.123456789012346";
}

void TestPlatform::formatGeneral()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(FormatGeneral(value), text);
    // A spreadsheet cell shows the same, except where only an exponent keeps it short.
    if (std::abs(value) < 1e15 && (value == 0 || std::abs(value) >= 1e-5))
        QCOMPARE(FormatCellGeneral(value), text);
}

void TestPlatform::iniFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    const QByteArray audit = "[webservice]\r\nurl = 10.1.2.3:8080 \r\n\r\n[http]\r\nurl1=http://h/update.ini\r\n";
    QTest::newRow("value trimmed") << audit << "webservice" << "url" << "10.1.2.3:8080";
    QTest::newRow("other section") << audit << "http" << "url1" << "http://h/update.ini";
    QTest::newRow("case-insensitive names") << audit << "WebService" << "URL" << "10.1.2.3:8080";
    QTest::newRow("missing key gives default") << audit << "http" << "url2" << "DEF";
    QTest::newRow("key of another section not taken") << audit << "webservice" << "url1" << "DEF";
    QTest::newRow("gbk notice") << QByteArray("[memo]\nhint=\xD0\xC2\xB0\xE6\xB1\xBE\n") << "memo" << "hint" << QString::fromUtf8("新版本");
    QTest::newRow("utf8 with bom") << QByteArray("\xEF\xBB\xBF[version]\nver=2.1\n") << "version" << "ver" << "2.1";
}

void TestPlatform::iniFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.ini"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    QCOMPARE(IniFile(path).readString(section, key, QStringLiteral("DEF")), expected);
    QCOMPARE(IniFile(dir.filePath(QStringLiteral("missing.ini"))).readString(section, key, QStringLiteral("DEF")), QStringLiteral("DEF"));
}

void TestPlatform::singleInstanceRefusesSecond()
{
    SingleInstance first(QStringLiteral("quorvane-test"));
    QVERIFY(first.tryAcquire());
    SingleInstance second(QStringLiteral("quorvane-test"));
    QVERIFY(!second.tryAcquire());
}

void TestPlatform::singleInstanceAfterKilledOwner()
{
    // A child process takes the token and is killed without releasing it.
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold-lock")});
    QVERIFY(child.waitForReadyRead(10000));
    QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("locked"));
    SingleInstance whileAlive(QStringLiteral("quorvane-child"));
    QVERIFY(!whileAlive.tryAcquire());
    child.kill();
    QVERIFY(child.waitForFinished(10000));
    SingleInstance afterDeath(QStringLiteral("quorvane-child"));
    QVERIFY(afterDeath.tryAcquire());
}

void TestPlatform::registryRoundTrip()
{
    const QString key = Registry::cellTypeLibKey();
    Registry::removeKey(key);
    QCOMPARE(Registry::readDefault(key), QString());
    QVERIFY(Registry::writeDefault(key, QStringLiteral("/opt/x/cell/libCellCtrl5.so")));
    QCOMPARE(Registry::readDefault(key), QStringLiteral("/opt/x/cell/libCellCtrl5.so"));
    QVERIFY(Registry::removeKey(key));
    QCOMPARE(Registry::readDefault(key), QString());
}

void TestPlatform::regsvr32CallsEntries_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("library");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("marker");
    QTest::newRow("register") << QStringList{"-s"} << "libregtest.so" << 0 << "registered";
    QTest::newRow("unregister") << QStringList{"-s", "-u"} << "libregtest.so" << 0 << "unregistered";
    QTest::newRow("no entry") << QStringList{"-s"} << "libregnoentry.so" << 3 << "";
    QTest::newRow("no library") << QStringList{"-s"} << "libmissing.so" << 3 << "";
}

void TestPlatform::regsvr32CallsEntries()
{
    QFETCH(QStringList, args);
    QFETCH(QString, library);
    QFETCH(int, exitCode);
    QFETCH(QString, marker);
    QTemporaryDir dir;
    const QString markerFile = dir.filePath(QStringLiteral("marker"));
    QProcess regsvr;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LW_REGTEST_MARKER"), markerFile);
    regsvr.setProcessEnvironment(env);
    regsvr.start(test::TestEnv::stageDir() + QStringLiteral("/Regsvr32"),
                 args << QCoreApplication::applicationDirPath() + QLatin1Char('/') + library);
    QVERIFY(regsvr.waitForFinished(20000));
    QCOMPARE(regsvr.exitCode(), exitCode);
    QFile f(markerFile);
    if (marker.isEmpty()) {
        QVERIFY(!f.exists());
    } else {
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLatin1(f.readAll()), marker);
    }
}

// A launcher names each user's own tree; without it the executable's directory serves.
void TestPlatform::appPathFromEnvironment()
{
    QTemporaryDir tree;
    qputenv("LEDGERWELL_APPPATH", tree.path().toLocal8Bit());
    Paths::reset();
    QCOMPARE(Paths::appPath(), tree.path() + QLatin1Char('/'));
    qunsetenv("LEDGERWELL_APPPATH");
    Paths::reset();
    QCOMPARE(Paths::appPath(), QCoreApplication::applicationDirPath() + QLatin1Char('/'));
}

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--hold-lock") == 0) {
        QCoreApplication app(argc, argv);
        SingleInstance instance(QStringLiteral("quorvane-child"));
        if (!instance.tryAcquire())
            return 1;
        std::printf("locked\n");
        std::fflush(stdout);
        QThread::sleep(60);
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestPlatform test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_platform.moc"
