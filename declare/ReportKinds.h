// SPDX-License-Identifier: GPL-3.0-or-later
// The five report kinds: caption, template, mapping and working table, help page. Kind 4 follows
// the collection method: "10" is audit-based collection, anything else deemed collection.
#pragma once

#include <QDate>
#include <QString>

namespace lw {

// The mark of a cell that does not apply: shaded, refusing input.
constexpr int NotApplicableMark = 5;

struct ReportKindInfo
{
    QString caption;
    QString templateFile; // relative to AppPath
    QString mappingTable;
    QString workingTable;
    QString helpFile;     // relative to AppPath; empty for none
    // The form counts as loaded when this cell of sheet 0 is not empty.
    int loadedCheckCol = 0;
    int loadedCheckRow = 0;
};

bool IsAuditBased(const QString &collectionMethodCode);
ReportKindInfo KindInfo(int kind, const QString &collectionMethodCode);

// The proposed tax period of a kind on a day; kind 1 by the declaration-deadline code.
// Both dates are null when nothing is proposed.
struct Period
{
    QDate start;
    QDate end;
};
Period ProposePeriod(int kind, const QString &sbqxrDm, const QDate &today);

// "yyyy-mm-dd", the form in which periods key the working rows.
QString PeriodText(const QDate &date);
// Reads a date field's text; null when it holds no valid date.
QDate ParsePeriodText(const QString &text);

} // namespace lw
