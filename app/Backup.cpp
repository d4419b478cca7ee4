// SPDX-License-Identifier: GPL-3.0-or-later
#include "Backup.h"

#include "AdoQuery.h"
#include "Clock.h"
#include "untDm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cstdio>
#include <map>
#include <set>

namespace lw {

namespace {

constexpr int kKeptSafetyCopies = 10;
int g_copySerial = 0;

// Table → columns of a database, from its catalogue.
std::map<QString, std::set<QString>> schemaOf(QSqlDatabase db)
{
    std::map<QString, std::set<QString>> schema;
    QSqlQuery tables(db);
    tables.exec(QStringLiteral("select name from sqlite_master where type='table' and name not like 'sqlite_%'"));
    while (tables.next()) {
        const QString table = tables.value(0).toString();
        QSqlQuery columns(db);
        columns.exec(QStringLiteral("PRAGMA table_info(") + QuotedStr(table) + QLatin1Char(')'));
        auto &set = schema[table];
        while (columns.next())
            set.insert(columns.value(1).toString());
    }
    return schema;
}

QString firstValue(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    return q.exec(sql) && q.next() ? q.value(0).toString() : QString();
}

// A connection to a copy, read only, closed and removed when the scope ends.
class CopyConnection
{
public:
    explicit CopyConnection(const QString &path)
        : m_name(QStringLiteral("copy%1").arg(++g_copySerial))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        m_open = db.open();
    }
    ~CopyConnection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    bool open() const { return m_open; }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
    bool m_open = false;
};

} // namespace

void WriteDatabaseCopy(const QString &path)
{
    QSqlQuery q(dm()->adoConn);
    if (!dm()->connected() || !q.exec(QStringLiteral("VACUUM INTO ") + QuotedStr(QDir::toNativeSeparators(path)))) {
        QFile::remove(path);
        throw DbError(QStringLiteral("无法写入数据库副本“%1”：%2").arg(path, q.lastError().text()));
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

QString SafetyCopyDir()
{
    return dm()->AppPath + QStringLiteral("db/backup/");
}

QString WriteSafetyCopy(const QString &operation)
{
    QDir dir(SafetyCopyDir());
    const QString stamp = Clock::now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = dir.filePath(operation + QLatin1Char('_') + stamp + QStringLiteral(".sqlite"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(QStringLiteral("%1_%2-%3.sqlite").arg(operation, stamp).arg(n));
    try {
        if (!dir.mkpath(QStringLiteral(".")))
            throw DbError(QStringLiteral("无法创建文件夹“%1”").arg(dir.path()));
        WriteDatabaseCopy(path);
    } catch (const DbError &e) {
        throw DbError(QStringLiteral("无法写入数据库安全副本，为保护数据，本次操作未进行，数据未作任何改动。\n")
                      + QString::fromStdString(e.what()));
    }
    // Newest first by name (the names carry the time); the oldest beyond ten go.
    const QStringList copies = dir.entryList({QStringLiteral("*.sqlite")}, QDir::Files, QDir::Time);
    for (int i = kKeptSafetyCopies; i < copies.size(); ++i)
        dir.remove(copies.at(i));
    return path;
}

DatabaseCopyInfo CheckDatabaseCopy(const QString &path)
{
    DatabaseCopyInfo info;
    const QFileInfo file(path);
    info.written = file.lastModified();
    if (!file.isFile() || file.size() == 0) {
        info.problem = QStringLiteral("文件不存在或为空。");
        return info;
    }
    CopyConnection copy(path);
    if (!copy.open()) {
        info.problem = QStringLiteral("无法打开该文件。");
        return info;
    }
    QSqlQuery integrity(copy.db());
    if (!integrity.exec(QStringLiteral("PRAGMA integrity_check")) || !integrity.next()
        || integrity.value(0).toString() != QLatin1String("ok")) {
        info.problem = QStringLiteral("该文件不是完好的数据库（完整性检查未通过）。");
        return info;
    }
    const auto expected = schemaOf(dm()->adoConn);
    const auto found = schemaOf(copy.db());
    for (const auto &[table, columns] : expected) {
        const auto it = found.find(table);
        if (it == found.end()) {
            info.problem = QStringLiteral("该文件不是本软件的数据库（缺少数据表 %1）。").arg(table);
            return info;
        }
        for (const QString &column : columns) {
            if (!it->second.count(column)) {
                info.problem = QStringLiteral("该文件不是本软件的数据库（数据表 %1 缺少字段 %2）。").arg(table, column);
                return info;
            }
        }
    }
    const QString version = QStringLiteral("select version from wa_version");
    if (firstValue(copy.db(), version) != firstValue(dm()->adoConn, version)) {
        info.problem = QStringLiteral("该文件的数据库版本（%1）与本软件（%2）不一致。")
                           .arg(firstValue(copy.db(), version), firstValue(dm()->adoConn, version));
        return info;
    }
    info.enterpriseName = firstValue(copy.db(), QStringLiteral("select nsr_mc from psn"));
    info.enterpriseCode = firstValue(copy.db(), QStringLiteral("select swglm from psn"));
    return info;
}

void RestoreDatabase(const QString &copyPath)
{
    const DatabaseCopyInfo info = CheckDatabaseCopy(copyPath);
    if (!info.problem.isEmpty())
        throw DbError(QStringLiteral("数据恢复失败：") + info.problem);
    WriteSafetyCopy(QStringLiteral("restore"));

    const QString target = dm()->databasePath();
    const QString beside = target + QStringLiteral(".restore");
    QFile::remove(beside);
    {
        QFile in(copyPath);
        QFile out(beside);
        if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)
            || out.write(in.readAll()) != in.size() || !out.flush()) {
            out.remove();
            throw DbError(QStringLiteral("数据恢复失败：无法写入“%1”。").arg(beside));
        }
        out.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        out.close();
    }
    dm()->closeDatabase();
    // Renamed over the database in one step (rename replaces atomically on POSIX systems). The old database's journal must not be replayed onto the restored one.
    QFile::remove(target + QStringLiteral("-wal"));
    QFile::remove(target + QStringLiteral("-shm"));
    const bool renamed = std::rename(QFile::encodeName(beside).constData(), QFile::encodeName(target).constData()) == 0;
    dm()->reopenDatabase();
    if (!renamed) {
        QFile::remove(beside);
        throw DbError(QStringLiteral("数据恢复失败：无法替换数据库文件“%1”。").arg(target));
    }
}

} // namespace lw
