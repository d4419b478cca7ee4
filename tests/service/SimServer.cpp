// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimServer.h"

#include "Paths.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTcpServer>
#include <QtTest>

namespace lw::test {

SimServer::SimServer(const QString &fixtureDir)
{
    const QString from = fixtureDir.isEmpty() ? sampleDir() : fixtureDir;
    QDirIterator it(from, QDir::Files);
    while (it.hasNext()) {
        it.next();
        QFile::copy(it.filePath(), m_dir.filePath(it.fileName()));
        QFile::setPermissions(m_dir.filePath(it.fileName()), QFile::ReadOwner | QFile::WriteOwner);
    }
    clearForced();
}

SimServer::~SimServer()
{
    stop();
}

QString SimServer::program()
{
    return qEnvironmentVariable("LW_BIN") + QStringLiteral("/bin/bureau-sim");
}

QString SimServer::sampleDir()
{
    return qEnvironmentVariable("LW_SOURCE") + QStringLiteral("/tools/bureau-sim/sample");
}

int SimServer::unusedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const int port = probe.serverPort();
    probe.close();
    return port;
}

bool SimServer::start()
{
    m_process.setProgram(program());
    m_process.setArguments({QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"), QStringLiteral("--data"), m_dir.path()});
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start();
    if (!m_process.waitForStarted(5000)) {
        qWarning("bureau-sim did not start: %s", qPrintable(m_process.errorString()));
        return false;
    }
    static const QRegularExpression re(QStringLiteral("listening on http://[^:]+:(\\d+)"));
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000) {
        if (m_process.canReadLine() || m_process.waitForReadyRead(200)) {
            const QString line = QString::fromUtf8(m_process.readLine());
            const auto match = re.match(line);
            if (match.hasMatch()) {
                m_port = match.captured(1).toInt();
                return true;
            }
        }
        if (m_process.state() != QProcess::Running)
            break;
    }
    qWarning("bureau-sim gave no address: %s", m_process.readAllStandardError().constData());
    return false;
}

void SimServer::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
}

QString SimServer::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

void SimServer::force(const QString &key, const QString &value)
{
    m_forced.insert(key, value);
    QByteArray text("[force]\n");
    for (auto it = m_forced.cbegin(); it != m_forced.cend(); ++it)
        text += (it.key() + QLatin1Char('=') + it.value() + QLatin1Char('\n')).toUtf8();
    writeData(QStringLiteral("switches.ini"), text);
}

void SimServer::clearForced()
{
    m_forced.clear();
    writeData(QStringLiteral("switches.ini"), "[force]\n");
}

QByteArray SimServer::request(const QString &operation) const
{
    return readData(QStringLiteral("requests/") + operation + QStringLiteral(".http"));
}

QByteArray SimServer::readData(const QString &relative) const
{
    QFile file(m_dir.filePath(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void SimServer::writeData(const QString &relative, const QByteArray &bytes)
{
    QFile file(m_dir.filePath(relative));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qWarning("cannot write %s", qPrintable(file.fileName()));
}

void WriteAuditCfg(const QString &serviceHost, const QString &upgradeUrl)
{
    QFile file(Paths::appPath() + QStringLiteral("Audit.cfg"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write Audit.cfg");
    QByteArray text = "[webservice]\r\nurl=" + serviceHost.toUtf8() + "\r\n";
    if (!upgradeUrl.isNull())
        text += "\r\n[http]\r\nurl1=" + upgradeUrl.toUtf8() + "\r\n";
    file.write(text);
}

} // namespace lw::test
