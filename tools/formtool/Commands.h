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
int pdf(const QStringList &args);   // pdf.cpp: the printout as a PDF file

// Exit status for an unreadable file or a bad argument.
constexpr int BadInput = 2;

int fail(const QString &message);
void out(const QString &line);
// Opens a template; on failure prints the message and returns false.
bool open(const QString &path, Workbook &book);
// "SHEET:COL:ROW" -> numbers; false when malformed.
bool parseAddress(const QString &text, int *sheet, int *col, int *row);
QString address(int sheet, int col, int row);

// An input given as --set S:C:R=NUMBER or --text S:C:R=TEXT.
struct Write
{
    int sheet, col, row;
    bool number;
    double value;
    QString text;
};
// Parses the value of --set (number) or --text; prints the problem and returns false on error.
bool parseWrite(const QString &arg, bool number, Write *w);
// Writes the inputs into the book; prints the problem and returns false for a missing sheet.
bool applyWrites(Workbook &book, const QList<Write> &writes);

} // namespace formtool
} // namespace lw
