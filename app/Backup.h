// SPDX-License-Identifier: GPL-3.0-or-later
// Copies of the database: the safety copy written before an operation that deletes data by
// design, the user's own backup, and the checked, atomic restore of a copy.
#pragma once

#include <QDateTime>
#include <QString>

namespace lw {

// Writes a consistent copy of the open database (VACUUM INTO, never a file copy of a database
// in use) to a path that must not exist yet; raises DbError with a Chinese message.
void WriteDatabaseCopy(const QString &path);

// A safety copy in AppPath/db/backup/, named by the operation and the time; the newest ten are
// kept. Raises DbError when it cannot be written, so the operation stops before deleting anything.
QString WriteSafetyCopy(const QString &operation);
QString SafetyCopyDir();

struct DatabaseCopyInfo
{
    QString problem; // empty when the copy can replace the database
    QString enterpriseName;
    QString enterpriseCode;
    QDateTime written;
};

// Checks a copy without touching the database: integrity, every table and column of the open
// database's schema, and the same wa_version.
DatabaseCopyInfo CheckDatabaseCopy(const QString &path);

// Replaces the database by a checked copy: a safety copy of the current one first, then the copy
// is written beside the database, flushed and renamed over it with the connection closed, and
// the connection reopened. Raises DbError; the database is unchanged when it fails.
void RestoreDatabase(const QString &copyPath);

} // namespace lw
