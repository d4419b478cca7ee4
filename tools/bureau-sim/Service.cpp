// SPDX-License-Identifier: GPL-3.0-or-later
// The operations of IGrsdsService as the simulator answers them, one connection per thread.
#include "Service.h"

#include "Bureau.h"

#include "soapIGrsdsServiceService.h"

#include <QByteArray>
#include <QStringList>

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>

namespace lw::sim {

namespace {
Bureau *g_bureau = nullptr;
size_t (*g_recv)(struct soap *, char *, size_t) = nullptr;

const char kPath[] = "/quorvane/Tallowmere.exe/soap/IGrsdsService";
const char kActionPrefix[] = "urn:GrsdsServiceIntf-IGrsdsService#";

// What one connection has received so far, kept for the request record.
struct Connection
{
    QByteArray raw;
};

size_t RecordingRecv(struct soap *soap, char *buf, size_t len)
{
    const size_t n = g_recv(soap, buf, len);
    if (auto *conn = static_cast<Connection *>(soap->user))
        conn->raw.append(buf, qsizetype(n));
    return n;
}

QString str(const std::string &s)
{
    return QString::fromStdString(s);
}

// Writes straight to the connection, past gSOAP, as a broken or hostile server would; false once
// the client has gone away or stopped reading for some seconds. gSOAP leaves the socket
// non-blocking, so a full buffer is waited out.
bool sendRaw(struct soap *soap, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(soap->socket, bytes.constData() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
        if (n > 0) {
            done += n;
            continue;
        }
        pollfd pfd{soap->socket, POLLOUT, 0};
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) || ::poll(&pfd, 1, 5000) <= 0)
            return false;
    }
    return true;
}

// The start of a downfile answer whose base64 array never ends.
QByteArray endlessAnswerHead()
{
    return "HTTP/1.1 200 OK\r\nContent-Type: text/xml; charset=utf-8\r\nConnection: close\r\n\r\n"
           "<?xml version=\"1.0\" encoding=\"UTF-8\"?><SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">"
           "<SOAP-ENV:Body><NS1:downfileResponse xmlns:NS1=\"urn:GrsdsServiceIntf-IGrsdsService\">"
           "<return xsi:type=\"xsd:base64Binary\">";
}

// Both stop by themselves: no client waits this long.
constexpr auto kEndlessLimit = std::chrono::seconds(60);
constexpr int kTrickleBytes = 300;

// One call: records its request, checks the binding, applies the delay and the forced faults,
// and writes one log line when it ends.
class Call
{
public:
    Call(struct soap *soap, const char *operation, const QStringList &args)
        : m_soap(soap), m_op(QString::fromLatin1(operation)), m_args(args)
    {
        if (auto *conn = static_cast<Connection *>(soap->user)) {
            g_bureau->recordRequest(m_op, conn->raw);
            conn->raw.clear();
        }
    }
    ~Call()
    {
        g_bureau->log(QStringLiteral("%1(%2) -> %3").arg(m_op, m_args.join(QStringLiteral(", ")), m_outcome));
    }

    // SOAP_OK to go on; otherwise the code the operation must return.
    int begin()
    {
        QString action = QString::fromUtf8(m_soap->action ? m_soap->action : "");
        if (action.startsWith(QLatin1Char('"')) && action.endsWith(QLatin1Char('"')) && action.size() >= 2)
            action = action.mid(1, action.size() - 2);
        if (std::strcmp(m_soap->path, kPath) != 0)
            return fail(QStringLiteral("wrong endpoint path %1").arg(QString::fromUtf8(m_soap->path)));
        if (action != QLatin1String(kActionPrefix) + m_op)
            return fail(QStringLiteral("wrong SOAPAction \"%1\"").arg(action));
        if (const int ms = g_bureau->delayMs(); ms > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        if (g_bureau->forcedFor(QStringLiteral("endless"), m_op)) {
            m_outcome = QStringLiteral("an endless answer");
            const QByteArray chunk(64 * 1024, 'A');
            const auto until = std::chrono::steady_clock::now() + kEndlessLimit;
            if (sendRaw(m_soap, endlessAnswerHead()))
                while (std::chrono::steady_clock::now() < until && sendRaw(m_soap, chunk)) {
                }
            return SOAP_STOP;
        }
        if (g_bureau->forcedFor(QStringLiteral("trickle"), m_op)) {
            m_outcome = QStringLiteral("a trickled answer");
            const QByteArray head = endlessAnswerHead();
            for (int i = 0; i < kTrickleBytes && i < head.size(); ++i) {
                if (!sendRaw(m_soap, head.mid(i, 1)))
                    break;
                std::this_thread::sleep_for(std::chrono::seconds(1));
            }
            return SOAP_STOP;
        }
        if (g_bureau->forcedFor(QStringLiteral("garbage"), m_op)) {
            m_outcome = QStringLiteral("an HTML page");
            static const char page[] = "<html><body><h1>503 服务暂停</h1></body></html>";
            m_soap->http_content = "text/html; charset=utf-8";
            if (soap_response(m_soap, SOAP_HTML) == SOAP_OK) {
                soap_send_raw(m_soap, page, sizeof page - 1);
                soap_end_send(m_soap);
            }
            return SOAP_STOP; // answered already; no SOAP response follows
        }
        if (g_bureau->forcedFor(QStringLiteral("fault"), m_op))
            return fail(QStringLiteral("模拟的服务故障"));
        return SOAP_OK;
    }

    void result(const QString &outcome) { m_outcome = outcome; }

private:
    int fail(const QString &message)
    {
        m_outcome = QStringLiteral("fault: ") + message;
        return soap_receiver_fault(m_soap, soap_strdup(m_soap, message.toUtf8().constData()), nullptr);
    }

    struct soap *m_soap;
    QString m_op;
    QStringList m_args;
    QString m_outcome = QStringLiteral("?");
};

int HttpGet(struct soap *soap)
{
    QByteArray body;
    const bool found = std::strcmp(soap->path, "/update.ini") == 0 && g_bureau->updateIni(body);
    g_bureau->log(QStringLiteral("GET %1 -> %2").arg(QString::fromUtf8(soap->path), found ? QStringLiteral("200") : QStringLiteral("404")));
    if (!found)
        return 404;
    soap->http_content = "text/plain; charset=utf-8";
    soap->length = size_t(body.size());
    if (soap_response(soap, SOAP_FILE) || soap_send_raw(soap, body.constData(), size_t(body.size())) || soap_end_send(soap))
        return soap->error;
    return SOAP_OK;
}

void setBytes(struct soap *soap, xsd__base64Binary &out, const QByteArray &bytes)
{
    out.__size = int(bytes.size());
    out.__ptr = static_cast<unsigned char *>(soap_malloc(soap, size_t(bytes.size()) + 1));
    if (bytes.size())
        std::memcpy(out.__ptr, bytes.constData(), size_t(bytes.size()));
}
} // namespace

int Serve(Bureau &bureau, const QString &host, int port)
{
    g_bureau = &bureau;
    IGrsdsServiceService service(SOAP_C_UTFSTRING);
    struct soap *soap = service.soap;
    soap->bind_flags = SO_REUSEADDR;
    soap->send_timeout = 30;
    soap->recv_timeout = 30;
    soap->socket_flags = MSG_NOSIGNAL;
    soap->fget = HttpGet;
    g_recv = soap->frecv;
    soap->frecv = RecordingRecv;
    if (!soap_valid_socket(soap_bind(soap, host.toUtf8().constData(), port, 100))) {
        soap_print_fault(soap, stderr);
        return 1;
    }
    sockaddr_storage addr{};
    socklen_t len = sizeof addr;
    int actual = port;
    if (getsockname(soap->master, reinterpret_cast<sockaddr *>(&addr), &len) == 0)
        actual = addr.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6 *>(&addr)->sin6_port)
                                            : ntohs(reinterpret_cast<sockaddr_in *>(&addr)->sin_port);
    std::printf("bureau-sim listening on http://%s:%d data %s\n", qPrintable(host), actual, qPrintable(bureau.dataDir()));
    std::fflush(stdout);
    for (;;) {
        if (!soap_valid_socket(service.accept())) {
            // Out of descriptors or the like: wait instead of spinning.
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            continue;
        }
        IGrsdsServiceService *copy = service.copy();
        if (!copy)
            continue;
        std::thread([copy] {
            Connection conn;
            copy->soap->user = &conn;
            copy->serve();
            copy->destroy();
            delete copy;
        }).detach();
    }
}

} // namespace lw::sim

using lw::sim::Call;
using lw::sim::g_bureau;
using lw::sim::str;

int IGrsdsServiceService::ChkConnected(const std::string &AsTaxID, std::string &_return)
{
    Call call(soap, "ChkConnected", {str(AsTaxID)});
    if (int rc = call.begin())
        return rc;
    const QString r = g_bureau->chkConnected();
    call.result(r);
    _return = r.toStdString();
    return SOAP_OK;
}

int IGrsdsServiceService::Login(const std::string &AsTaxID, const std::string &AsPsw, std::string &_return)
{
    Call call(soap, "Login", {str(AsTaxID), QStringLiteral("***")});
    if (int rc = call.begin())
        return rc;
    const QString r = g_bureau->login(str(AsTaxID), str(AsPsw));
    call.result(r);
    _return = r.toStdString();
    return SOAP_OK;
}

int IGrsdsServiceService::ChangePwd(const std::string &AsTaxID, const std::string &AsPsw_USCOREOld, const std::string &AsPsw_USCORENew, std::string &_return)
{
    Call call(soap, "ChangePwd", {str(AsTaxID), QStringLiteral("***"), QStringLiteral("***")});
    if (int rc = call.begin())
        return rc;
    const QString r = g_bureau->changePwd(str(AsTaxID), str(AsPsw_USCOREOld), str(AsPsw_USCORENew));
    call.result(r);
    _return = r.toStdString();
    return SOAP_OK;
}

int IGrsdsServiceService::uploadfile(const std::string &filename, const xsd__base64Binary &ByteArray, std::string &_return)
{
    Call call(soap, "uploadfile", {str(filename), QStringLiteral("%1 bytes").arg(ByteArray.__size)});
    if (int rc = call.begin())
        return rc;
    const QByteArray bytes = ByteArray.__ptr ? QByteArray(reinterpret_cast<const char *>(ByteArray.__ptr), ByteArray.__size) : QByteArray();
    const QString r = g_bureau->uploadFile(str(filename), bytes);
    call.result(r);
    _return = r.toStdString();
    return SOAP_OK;
}

int IGrsdsServiceService::downfile(const std::string &swglm, xsd__base64Binary &_return)
{
    Call call(soap, "downfile", {str(swglm)});
    if (int rc = call.begin())
        return rc;
    const QByteArray bytes = g_bureau->downFile(str(swglm));
    call.result(QStringLiteral("%1 bytes").arg(bytes.size()));
    lw::sim::setBytes(soap, _return, bytes);
    return SOAP_OK;
}

int IGrsdsServiceService::deletedownfile(const std::string &filename, std::string &_return)
{
    Call call(soap, "deletedownfile", {str(filename)});
    if (int rc = call.begin())
        return rc;
    const QString r = g_bureau->deleteDownFile(str(filename));
    call.result(r);
    _return = r.toStdString();
    return SOAP_OK;
}

// The operations the client does not call answer plainly, so the whole contract is served.
int IGrsdsServiceService::GetHintInfo(const std::string &AsTaxID, const std::string &AsInform, ns__GetHintInfoResponse &r)
{
    Call call(soap, "GetHintInfo", {str(AsTaxID)});
    if (int rc = call.begin())
        return rc;
    r._return = "1";
    r.AsInform = AsInform;
    call.result(QStringLiteral("1"));
    return SOAP_OK;
}

int IGrsdsServiceService::GetUpdateURL(std::string &_return)
{
    Call call(soap, "GetUpdateURL", {});
    if (int rc = call.begin())
        return rc;
    _return = "/update.ini";
    call.result(QString::fromStdString(_return));
    return SOAP_OK;
}

int IGrsdsServiceService::GetQyjbxx(const std::string &AsTaxID, const std::string &AwsEmpData, ns__GetQyjbxxResponse &r)
{
    Call call(soap, "GetQyjbxx", {str(AsTaxID)});
    if (int rc = call.begin())
        return rc;
    r._return = "0";
    r.AwsEmpData = AwsEmpData;
    call.result(QStringLiteral("0"));
    return SOAP_OK;
}

int IGrsdsServiceService::DeclareEmployee(const std::string &AsTaxID, const std::string &, std::string &_return)
{
    Call call(soap, "DeclareEmployee", {str(AsTaxID)});
    if (int rc = call.begin())
        return rc;
    _return = "0";
    call.result(QStringLiteral("0"));
    return SOAP_OK;
}

int IGrsdsServiceService::GetEmployee(const std::string &AsTaxID, const std::string &AwsEmpData, ns__GetEmployeeResponse &r)
{
    Call call(soap, "GetEmployee", {str(AsTaxID)});
    if (int rc = call.begin())
        return rc;
    r._return = "0";
    r.AwsEmpData = AwsEmpData;
    call.result(QStringLiteral("0"));
    return SOAP_OK;
}

int IGrsdsServiceService::GetSBDetail_USCOREPT(const std::string &AsTaxID, const std::string &AsYear, const std::string &, const std::string &AwsSBDetail, ns__GetSBDetail_USCOREPTResponse &r)
{
    Call call(soap, "GetSBDetail_PT", {str(AsTaxID), str(AsYear)});
    if (int rc = call.begin())
        return rc;
    r._return = "0";
    r.AwsSBDetail = AwsSBDetail;
    call.result(QStringLiteral("0"));
    return SOAP_OK;
}

int IGrsdsServiceService::GetSBDetail_USCORETS(const std::string &AsTaxID, const std::string &AsYear, const std::string &, const std::string &AwsSBDetail, ns__GetSBDetail_USCORETSResponse &r)
{
    Call call(soap, "GetSBDetail_TS", {str(AsTaxID), str(AsYear)});
    if (int rc = call.begin())
        return rc;
    r._return = "0";
    r.AwsSBDetail = AwsSBDetail;
    call.result(QStringLiteral("0"));
    return SOAP_OK;
}

int IGrsdsServiceService::DeclareData(const std::string &, std::string &_return)
{
    Call call(soap, "DeclareData", {});
    if (int rc = call.begin())
        return rc;
    _return = "0";
    call.result(QStringLiteral("0"));
    return SOAP_OK;
}
