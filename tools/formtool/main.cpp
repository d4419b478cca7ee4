// SPDX-License-Identifier: GPL-3.0-or-later
// formtool: dump, evaluate and time spreadsheet templates from the command line.
#include "Commands.h"

#include <QCoreApplication>

#include <cstring>
#include <map>

namespace {
const char *const kUsage =
    "usage: formtool dump FILE.xlsx\n"
    "       formtool eval FILE.xlsx [--set S:C:R=NUMBER]... [--text S:C:R=TEXT]... [--get S:C:R]...\n"
    "       formtool bench FILE.xlsx [--repeat N]\n";
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    using Command = int (*)(const QStringList &);
    const std::map<QString, Command> commands = {
        {QStringLiteral("dump"), lw::formtool::dump},
        {QStringLiteral("eval"), lw::formtool::eval},
        {QStringLiteral("bench"), lw::formtool::bench},
        {QStringLiteral("check"), lw::formtool::check},
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
