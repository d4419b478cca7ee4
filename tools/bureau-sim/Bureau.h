// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated bureau: enterprises with passwords and investors, the answers it prepares, the
// uploads it keeps, and the switches that force answers. Safe to call from several threads.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <mutex>

namespace lw::sim {

class Bureau
{
public:
    // dataDir holds enterprises.json, switches.ini, update.ini; answers/, uploads/ and
    // requests/ are created beside them.
    Bureau(const QString &dataDir, const QByteArray &exchangeTemplate);

    QString chkConnected();
    QString login(const QString &code, const QString &password);
    QString changePwd(const QString &code, const QString &oldPassword, const QString &newPassword);
    QString uploadFile(const QString &fileName, const QByteArray &bytes);
    QByteArray downFile(const QString &code);
    QString deleteDownFile(const QString &fileName);
    // Body of GET /update.ini; false when the fixture has none.
    bool updateIni(QByteArray &body) const;

    // Switches, read afresh for every call so a running simulator can be steered.
    QString forced(const QString &key) const;
    bool forcedFor(const QString &key, const QString &operation) const;
    int delayMs() const;

    void log(const QString &line);
    void recordRequest(const QString &operation, const QByteArray &raw);

    QString dataDir() const { return m_dir; }

private:
    QJsonObject loadFixture() const;
    void saveFixture(const QJsonObject &fixture);
    QJsonObject findEnterprise(const QJsonObject &fixture, const QString &code, int *index = nullptr) const;
    QByteArray answerDocument(const QJsonObject &enterprise, bool accepted) const;
    QString applyEnterpriseUpload(const QString &fileCode, const QByteArray &bytes);
    QString path(const QString &relative) const;

    QString m_dir;
    QByteArray m_template;
    mutable std::mutex m_mutex;
};

// Column names of the enterprise positions 3..19 and of the investor positions 0..19, in
// position order.
const QStringList &EnterpriseColumns();
const QStringList &InvestorColumns();

// Bare file names only: letters, digits, '-', '_' and ".xml".
bool IsSafeFileName(const QString &name);

} // namespace lw::sim
