// SPDX-License-Identifier: GPL-3.0-or-later
// The subcommands of formtool; each lives in its own file and returns the exit status.
#pragma once

#include <QString>
#include <QStringList>

namespace lw {

class Workbook;

namespace formtool {

int dump(const QStringList &args);
int eval(const QStringList &args);
int bench(const QStringList &args);
int check(const QStringList &args); // check.cpp: template against its mapping rows

// Exit status for an unreadable file or a bad argument.
constexpr int BadInput = 2;

int fail(const QString &message);
void out(const QString &line);
// Opens a template; on failure prints the message and returns false.
bool open(const QString &path, Workbook &book);
// "SHEET:COL:ROW" -> numbers; false when malformed.
bool parseAddress(const QString &text, int *sheet, int *col, int *row);
QString address(int sheet, int col, int row);

} // namespace formtool
} // namespace lw
