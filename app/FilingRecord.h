// SPDX-License-Identifier: GPL-3.0-or-later
// The filing record: every declaration upload attempt with the bureau's answer, every electronic
// data file written. Kept in the table sbjl.
#pragma once

#include <QString>
#include <QStringList>

namespace lw {

// The table's definition, run at every start so that a database from before it gains it.
QString FilingRecordSchema();

struct FilingPeriod
{
    int kind = 0;
    QString caption;
    QString qsrq;
    QString zzrq;
};

void RecordUpload(const FilingPeriod &period, const QString &nameSent, const QString &answer, bool accepted);
void RecordFiles(const FilingPeriod &period, const QStringList &paths);
// "yyyy-mm-dd hh:mm:ss" of the last accepted upload of the form and period; empty for none.
QString LastAcceptedUpload(const FilingPeriod &period);

} // namespace lw
