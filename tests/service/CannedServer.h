// SPDX-License-Identifier: GPL-3.0-or-later
// A bare HTTP server on loopback that answers every request with one fixed response, written
// without gSOAP, to show the client copes with servers other than our simulator.
#pragma once

#include <QByteArray>

#include <atomic>
#include <mutex>
#include <thread>

namespace lw::test {

class CannedServer
{
public:
    // status "200 OK" or "500 Internal Server Error"; body sent as text/xml unless contentType says.
    CannedServer(const QByteArray &status, const QByteArray &body, const QByteArray &contentType = "text/xml; charset=utf-8");
    // A server that resets every connection after its first read, answering nothing.
    static CannedServer *hangingUp();
    ~CannedServer();

    int port() const { return m_port; }
    QByteArray lastRequest() const;

private:
    void run();
    bool m_hangUp = false;

    QByteArray m_response;
    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    QByteArray m_lastRequest;
    std::thread m_thread;
};

} // namespace lw::test
