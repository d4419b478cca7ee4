// SPDX-License-Identifier: GPL-3.0-or-later
// bureau-sim: a local stand-in for the tax bureau's IGrsdsService on the loopback interface.
//   bureau-sim --listen 127.0.0.1:PORT --data DIR [--template FILE]
// PORT 0 picks a free port; the first line on standard output names the address in use.
#include "Bureau.h"
#include "Service.h"

#include <QCoreApplication>
#include <QFile>
#include <QHostAddress>
#include <QStringList>

#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {
int usage()
{
    std::fprintf(stderr, "usage: bureau-sim --listen 127.0.0.1:PORT --data DIR [--template FILE]\n");
    return 2;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QString listen = QStringLiteral("127.0.0.1:8089");
    QString dataDir;
    QString templatePath = QStringLiteral(":/bureau-sim/DATA_RY_upload.xml");
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (i + 1 >= args.size())
            return usage();
        if (a == QLatin1String("--listen"))
            listen = args.at(++i);
        else if (a == QLatin1String("--data"))
            dataDir = args.at(++i);
        else if (a == QLatin1String("--template"))
            templatePath = args.at(++i);
        else
            return usage();
    }
    const int colon = listen.lastIndexOf(QLatin1Char(':'));
    bool portOk = false;
    const QString host = colon > 0 ? listen.left(colon) : QString();
    const int port = colon > 0 ? listen.mid(colon + 1).toInt(&portOk) : -1;
    if (dataDir.isEmpty() || !portOk || port < 0 || port > 65535)
        return usage();
    // A stand-in for tests and demonstrations: it never listens beyond this machine.
    if (host != QLatin1String("localhost") && !QHostAddress(host).isLoopback()) {
        std::fprintf(stderr, "bureau-sim: only loopback addresses are served, not %s\n", qPrintable(host));
        return 2;
    }
    QFile tpl(templatePath);
    if (!tpl.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bureau-sim: cannot read template %s\n", qPrintable(templatePath));
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);
    lw::sim::Bureau bureau(dataDir, tpl.readAll());
    return lw::sim::Serve(bureau, host, port);
}
