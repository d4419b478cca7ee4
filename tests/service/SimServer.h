// SPDX-License-Identifier: GPL-3.0-or-later
// Runs tools/bureau-sim for one test on a free loopback port, over a copy of a fixture.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace lw::test {

class SimServer
{
public:
    // fixtureDir defaults to the sample fixture of the source tree.
    explicit SimServer(const QString &fixtureDir = QString());
    ~SimServer();

    // Starts the simulator and waits for its address; false (with a warning) when it fails.
    bool start();
    void stop();

    // "127.0.0.1:PORT", the value Audit.cfg's webservice url takes.
    QString host() const;
    int port() const { return m_port; }
    QString dataDir() const { return m_dir.path(); }

    // Forces an answer (switches.ini, section force); read by the simulator at every call.
    void force(const QString &key, const QString &value);
    void clearForced();

    // The last raw HTTP request the simulator received for an operation.
    QByteArray request(const QString &operation) const;
    QByteArray readData(const QString &relative) const;
    void writeData(const QString &relative, const QByteArray &bytes);

    static QString program();
    static QString sampleDir();
    // A loopback port that nothing listens on.
    static int unusedPort();

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
    QMap<QString, QString> m_forced;
};

// Writes AppPath/Audit.cfg with a service host and an upgrade address.
void WriteAuditCfg(const QString &serviceHost, const QString &upgradeUrl = QString());

} // namespace lw::test
