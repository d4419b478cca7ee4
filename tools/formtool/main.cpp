// SPDX-License-Identifier: GPL-3.0-or-later
// formtool: dump, evaluate and time spreadsheet templates from the command line.
#include "Commands.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstring>
#include <map>
#include <memory>

namespace {
const char *const kUsage =
    "usage: formtool dump FILE.xlsx\n"
    "       formtool eval FILE.xlsx [--set S:C:R=NUMBER]... [--text S:C:R=TEXT]... [--get S:C:R]...\n"
    "       formtool bench FILE.xlsx [--repeat N]\n"
    "       formtool check FILE.xlsx --db DB --table wa_xxx\n"
    "       formtool pdf FILE.xlsx OUT.pdf [--set S:C:R=NUMBER]... [--text S:C:R=TEXT]... [--sheet S]... [--title TEXT]\n";
}

int main(int argc, char **argv)
{
    // Printing needs fonts, so a GUI application; without a display it runs offscreen.
    const bool printing = argc > 1 && std::strcmp(argv[1], "pdf") == 0;
    if (printing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> application;
    if (printing)
        application = std::make_unique<QGuiApplication>(argc, argv);
    else
        application = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication &app = *application;
    using Command = int (*)(const QStringList &);
    const std::map<QString, Command> commands = {
        {QStringLiteral("dump"), lw::formtool::dump},
        {QStringLiteral("eval"), lw::formtool::eval},
        {QStringLiteral("bench"), lw::formtool::bench},
        {QStringLiteral("check"), lw::formtool::check},
        {QStringLiteral("pdf"), lw::formtool::pdf},
    };
    QStringList args = app.arguments().mid(1);
    const auto it = args.isEmpty() ? commands.end() : commands.find(args.front());
    if (it == commands.end()) {
        std::fputs(kUsage, stderr);
        return lw::formtool::BadInput;
    }
    args.removeFirst();
    return it->second(args);
}
