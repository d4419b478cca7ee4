// SPDX-License-Identifier: GPL-3.0-or-later
#include "CannedServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lw::test {

CannedServer::CannedServer(const QByteArray &status, const QByteArray &body, const QByteArray &contentType)
{
    m_response = "HTTP/1.1 " + status + "\r\nContent-Type: " + contentType + "\r\nContent-Length: "
                 + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (::bind(m_listen, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0 && ::listen(m_listen, 8) == 0
        && ::getsockname(m_listen, reinterpret_cast<sockaddr *>(&addr), &len) == 0)
        m_port = ntohs(addr.sin_port);
    m_thread = std::thread([this] { run(); });
}

CannedServer *CannedServer::hangingUp()
{
    auto *server = new CannedServer("200 OK", QByteArray());
    server->m_hangUp = true;
    return server;
}

CannedServer::~CannedServer()
{
    m_stop = true;
    m_thread.join();
    ::close(m_listen);
}

QByteArray CannedServer::lastRequest() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastRequest;
}

void CannedServer::run()
{
    while (!m_stop) {
        pollfd pfd{m_listen, POLLIN, 0};
        if (::poll(&pfd, 1, 50) <= 0)
            continue;
        const int fd = ::accept(m_listen, nullptr, nullptr);
        if (fd < 0)
            continue;
        QByteArray request;
        char buf[4096];
        qsizetype expected = -1;
        while (!m_stop) {
            pollfd cfd{fd, POLLIN, 0};
            if (::poll(&cfd, 1, 2000) <= 0)
                break;
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            request.append(buf, n);
            if (m_hangUp)
                break;
            const qsizetype headerEnd = request.indexOf("\r\n\r\n");
            if (headerEnd >= 0 && expected < 0) {
                const QByteArray headers = request.left(headerEnd).toLower();
                const qsizetype at = headers.indexOf("content-length:");
                const qsizetype eol = headers.indexOf("\r\n", at);
                expected = headerEnd + 4 + (at >= 0 ? headers.mid(at + 15, eol - at - 15).trimmed().toLongLong() : 0);
            }
            if (expected >= 0 && request.size() >= expected)
                break;
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_lastRequest = request;
        }
        if (m_hangUp) {
            // FIN first, then RST: the sender, half-closed, sees EPIPE on its next write.
            ::shutdown(fd, SHUT_WR);
            ::poll(nullptr, 0, 20);
            linger reset{1, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            ::close(fd);
            continue;
        }
        ::send(fd, m_response.constData(), size_t(m_response.size()), MSG_NOSIGNAL);
        ::shutdown(fd, SHUT_WR);
        ::close(fd);
    }
}

} // namespace lw::test
