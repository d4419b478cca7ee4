// SPDX-License-Identifier: GPL-3.0-or-later
// What a PDF says, through poppler's command-line tools (a test dependency the set-up installs).
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace lw::test {

// Standard output of a poppler tool; empty when it is missing or fails.
inline QString popplerOutput(const QString &tool, const QStringList &args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of every page with all white space removed, so tests match words whatever the
// layout spaced them by.
inline QString pdfText(const QString &path)
{
    QString text = popplerOutput(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path,
                                                                QStringLiteral("-")});
    text.remove(QRegularExpression(QStringLiteral("\\s+")));
    return text;
}

inline QString pdfInfo(const QString &path)
{
    return popplerOutput(QStringLiteral("pdfinfo"), {path});
}

} // namespace lw::test
