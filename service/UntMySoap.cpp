// SPDX-License-Identifier: GPL-3.0-or-later
#include "UntMySoap.h"

#include "UntF_IniFile.h"

#include "soapIGrsdsServiceProxy.h"

#include <QElapsedTimer>
#include <QUrl>

#include <algorithm>

namespace lw {

namespace {
constexpr int kDefaultConnectSeconds = 15;
// Uploads of a few hundred kilobytes over a slow line still fit.
constexpr int kDefaultIoSeconds = 60;
int g_connectSeconds = kDefaultConnectSeconds;
int g_ioSeconds = kDefaultIoSeconds;
int g_transferSeconds = TMySoap::kDefaultTransferSeconds;

const QString kServicePath = QStringLiteral("/quorvane/Tallowmere.exe/soap/IGrsdsService");

std::string toStd(const QString &text)
{
    return text.toStdString(); // UTF-8, as SOAP_C_UTFSTRING expects
}

QString fromStd(const std::string &text)
{
    return QString::fromStdString(text);
}

QString technicalText(struct soap *soap)
{
    const char *string = soap_fault_string(soap);
    QString text = string ? QString::fromUtf8(string).trimmed() : QString();
    const char *detail = soap_fault_detail(soap);
    if (detail && *detail) {
        const QString d = QString::fromUtf8(detail).trimmed();
        if (!d.isEmpty() && d != text)
            text = text.isEmpty() ? d : text + QStringLiteral(": ") + d;
    }
    if (text.isEmpty()) {
        char buf[1024] = {};
        soap_sprint_fault(soap, buf, sizeof buf);
        text = QString::fromUtf8(buf).trimmed();
    }
    if (text.isEmpty())
        text = QStringLiteral("SOAP error %1").arg(soap->error);
    return text;
}

// What went wrong, in the user's words, before gSOAP's own text. The runtime reports a stalled,
// an overlong and a cut-off answer all as SOAP_EOF, so those are told apart by the bytes received
// and by the time the call took.
QString errorText(struct soap *soap, qint64 elapsedMs, qint64 received)
{
    QString sentence;
    const int error = soap->error;
    const bool timedOut = elapsedMs >= 1000LL * std::min(g_ioSeconds, g_transferSeconds) - 200;
    if (error == SOAP_EOF
        && (received > qint64(TMySoap::kMaxAnswerBytes) || (received > 0 && soap->length > TMySoap::kMaxAnswerBytes)))
        sentence = QStringLiteral("税务机关服务器的答复过大");
    else if ((error == SOAP_EOF || error == SOAP_TCP_ERROR) && timedOut)
        sentence = QStringLiteral("税务机关服务器答复超时");
    else if (error == SOAP_TCP_ERROR)
        sentence = QStringLiteral("无法连接税务机关服务器");
    else if (error == SOAP_EOF)
        sentence = QStringLiteral("与税务机关服务器的连接中断");
    else if (error == SOAP_FAULT || error == SOAP_CLI_FAULT || error == SOAP_SVR_FAULT)
        sentence = QStringLiteral("税务机关服务器报告错误");
    else if (error >= 300 && error < 600) // an HTTP status without a SOAP fault
        sentence = QStringLiteral("税务机关服务器返回错误");
    else
        sentence = QStringLiteral("税务机关服务器的答复无法识别");
    return sentence + QStringLiteral("：") + technicalText(soap);
}
} // namespace

// Bytes received in the current call. gSOAP's own count also covers what was sent, so it cannot
// tell an overlong answer from a long upload.
struct TMySoap::Received
{
    size_t (*next)(struct soap *, char *, size_t) = nullptr;
    qint64 bytes = 0;

    static size_t recv(struct soap *soap, char *buf, size_t len)
    {
        auto *self = static_cast<Received *>(soap->user);
        const size_t n = self->next(soap, buf, len);
        self->bytes += qint64(n);
        return n;
    }
};

TMySoap::TMySoap() : m_proxy(std::make_unique<IGrsdsServiceProxy>(SOAP_C_UTFSTRING)), m_ini(std::make_unique<TIniSys>())
{
    QString host;
    m_ini->GetServiceUrl(host);
    m_endpoint = endpointFor(host);
    m_endpointUtf8 = m_endpoint.toUtf8();
    m_hostMissing = QUrl(m_endpoint).host().isEmpty();
    m_proxy->soap_endpoint = m_endpointUtf8.constData();
    m_received = std::make_unique<Received>();
    m_received->next = m_proxy->soap->frecv;
    m_proxy->soap->user = m_received.get();
    m_proxy->soap->frecv = &Received::recv;
}

TMySoap::~TMySoap()
{
    m_proxy->destroy();
}

QString TMySoap::endpointFor(const QString &host)
{
    return QStringLiteral("http://") + host + kServicePath;
}

void TMySoap::setTimeouts(int connectSeconds, int ioSeconds, int transferSeconds)
{
    g_connectSeconds = connectSeconds;
    g_ioSeconds = ioSeconds;
    g_transferSeconds = transferSeconds;
}

void TMySoap::resetTimeouts()
{
    setTimeouts(kDefaultConnectSeconds, kDefaultIoSeconds, kDefaultTransferSeconds);
}

template <typename Call>
void TMySoap::invoke(Call call)
{
    // gSOAP takes an endpoint without a host as standard input and output: a missing Audit.cfg
    // would write the request to the terminal and wait on stdin for ever.
    if (m_hostMissing)
        throw SoapError(QStringLiteral("服务地址为空: ") + m_endpoint);
    struct soap *soap = m_proxy->soap;
    // Without these a silent server holds the window for minutes, and one that closes the
    // connection mid-upload would end the process with SIGPIPE.
    soap->connect_timeout = g_connectSeconds;
    soap->send_timeout = g_ioSeconds;
    soap->recv_timeout = g_ioSeconds;
    // The stall time-outs only bound the gap between bytes: a server sending a byte now and then
    // would hold the call for ever, and one sending bytes without end would fill the memory.
    soap->transfer_timeout = g_transferSeconds;
    soap->recv_maxlength = kMaxAnswerBytes;
#ifdef MSG_NOSIGNAL // Windows has no SIGPIPE
    soap->socket_flags = MSG_NOSIGNAL;
#endif
    m_received->bytes = 0;
    QElapsedTimer clock;
    clock.start();
    const int rc = call(*m_proxy);
    if (rc != SOAP_OK) { // an HTML page with status 200 lands here too
        const QString text = errorText(soap, clock.elapsed(), m_received->bytes);
        m_proxy->destroy();
        throw SoapError(text);
    }
}

void TMySoap::CheckConnection(const QString &taxCode, QString &result)
{
    try {
        std::string r;
        invoke([&](IGrsdsServiceProxy &p) { return p.ChkConnected(toStd(taxCode), r); });
        const QString answer = fromStd(r);
        m_proxy->destroy();
        result = answer == QLatin1String("1") ? answer : QStringLiteral("连接失败:") + answer;
    } catch (const std::exception &) {
        result = QStringLiteral("无法连接指定的WEB服务器！");
    }
}

void TMySoap::ChangePassword(const QString &taxCode, const QString &oldPassword, const QString &newPassword, QString &result)
{
    try {
        std::string r;
        invoke([&](IGrsdsServiceProxy &p) { return p.ChangePwd(toStd(taxCode), toStd(oldPassword), toStd(newPassword), r); });
        const QString answer = fromStd(r);
        m_proxy->destroy();
        result = answer == QLatin1String("1") ? answer : QStringLiteral("修改密码失败:") + answer;
    } catch (const SoapError &e) {
        result = QStringLiteral("修改密码失败：") + e.message();
    } catch (const std::exception &e) {
        result = QStringLiteral("修改密码失败：") + QString::fromUtf8(e.what());
    }
}

void TMySoap::UploadFile(const QString &fileName, const QByteArray &bytes, QString &result)
{
    try {
        std::string r;
        xsd__base64Binary data;
        // The proxy only reads the array while sending.
        data.__ptr = reinterpret_cast<unsigned char *>(const_cast<char *>(bytes.constData()));
        data.__size = int(bytes.size());
        invoke([&](IGrsdsServiceProxy &p) { return p.uploadfile(toStd(fileName), data, r); });
        result = fromStd(r);
        m_proxy->destroy();
    } catch (const SoapError &e) {
        result = QStringLiteral("上传失败！") + e.message();
    } catch (const std::exception &e) {
        result = QStringLiteral("上传失败！") + QString::fromUtf8(e.what());
    }
}

void TMySoap::DownloadFile(const QString &taxCode, QByteArray &bytes)
{
    xsd__base64Binary data;
    invoke([&](IGrsdsServiceProxy &p) { return p.downfile(toStd(taxCode), data); });
    // The array lives in the proxy's memory: copy it out before that is released.
    if (data.__ptr && data.__size > 0)
        bytes = QByteArray(reinterpret_cast<const char *>(data.__ptr), data.__size);
    else
        bytes.clear();
    m_proxy->destroy();
}

void TMySoap::DeleteDownloadFile(const QString &fileName, QString &result)
{
    try {
        std::string r;
        invoke([&](IGrsdsServiceProxy &p) { return p.deletedownfile(toStd(fileName), r); });
        result = fromStd(r);
        m_proxy->destroy();
    } catch (const SoapError &e) {
        result = QStringLiteral("下载失败！") + e.message();
    } catch (const std::exception &e) {
        result = QStringLiteral("下载失败！") + QString::fromUtf8(e.what());
    }
}

QString TMySoap::CheckConnection(const QString &taxCode)
{
    QString result;
    CheckConnection(taxCode, result);
    return result;
}

QString TMySoap::ChangePassword(const QString &taxCode, const QString &oldPassword, const QString &newPassword)
{
    QString result;
    ChangePassword(taxCode, oldPassword, newPassword, result);
    return result;
}

QString TMySoap::UploadFile(const QString &fileName, const QByteArray &bytes)
{
    QString result;
    UploadFile(fileName, bytes, result);
    return result;
}

QByteArray TMySoap::DownloadFile(const QString &taxCode)
{
    QByteArray bytes;
    DownloadFile(taxCode, bytes);
    return bytes;
}

QString TMySoap::DeleteDownloadFile(const QString &fileName)
{
    QString result;
    DeleteDownloadFile(fileName, result);
    return result;
}

} // namespace lw
