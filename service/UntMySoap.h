// SPDX-License-Identifier: GPL-3.0-or-later
// The client of the bureau's service: every window reaches IGrsdsService through one of these.
// Four methods never raise and answer with a text ("1" on success); DownloadFile raises SoapError.
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <stdexcept>

class IGrsdsServiceProxy;

namespace lw {

class TIniSys;

// A failed service call: transport error, HTTP error, SOAP fault or malformed answer.
class SoapError : public std::runtime_error
{
public:
    explicit SoapError(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

class TMySoap
{
public:
    // Binds to "http://" + the host from Audit.cfg + the service path; sends nothing yet.
    TMySoap();
    ~TMySoap();
    TMySoap(const TMySoap &) = delete;
    TMySoap &operator=(const TMySoap &) = delete;

    void CheckConnection(const QString &taxCode, QString &result);
    void ChangePassword(const QString &taxCode, const QString &oldPassword, const QString &newPassword, QString &result);
    void UploadFile(const QString &fileName, const QByteArray &bytes, QString &result);
    // Raises SoapError; an empty array means nothing is prepared for that code.
    void DownloadFile(const QString &taxCode, QByteArray &bytes);
    void DeleteDownloadFile(const QString &fileName, QString &result);

    QString CheckConnection(const QString &taxCode);
    QString ChangePassword(const QString &taxCode, const QString &oldPassword, const QString &newPassword);
    QString UploadFile(const QString &fileName, const QByteArray &bytes);
    QByteArray DownloadFile(const QString &taxCode);
    QString DeleteDownloadFile(const QString &fileName);

    QString endpoint() const { return m_endpoint; }

    static QString endpointFor(const QString &host);
    // Answers beyond this fail: real ones are a few hundred kilobytes at most.
    static constexpr unsigned kMaxAnswerBytes = 8u << 20;
    // Sending the request, and receiving the answer, each end within this time however the
    // server paces its bytes; so a call never lasts longer than connecting plus twice this.
    static constexpr int kDefaultTransferSeconds = 120;

    // Seconds allowed to connect, for each send or receive to stall, and for each whole transfer;
    // tests shorten them.
    static void setTimeouts(int connectSeconds, int ioSeconds, int transferSeconds = kDefaultTransferSeconds);
    static void resetTimeouts();

private:
    // Runs one call; on failure raises SoapError with the transport's or the fault's message.
    template <typename Call>
    void invoke(Call call);

    struct Received;
    std::unique_ptr<Received> m_received; // declared before the proxy, which refers to it
    std::unique_ptr<IGrsdsServiceProxy> m_proxy;
    std::unique_ptr<TIniSys> m_ini;
    QString m_endpoint;
    QByteArray m_endpointUtf8;
    bool m_hostMissing = false;
};

} // namespace lw
