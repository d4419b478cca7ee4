// SPDX-License-Identifier: GPL-3.0-or-later
#include "untDm.h"

#include "MessageBoxes.h"
#include "Paths.h"
#include "Shell.h"
#include "FilingRecord.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace lw {

namespace {
Tdm *g_instance = nullptr;
int g_connectionSerial = 0;
} // namespace

Tdm::Tdm(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("dm"));
    m_connectionName = QStringLiteral("adoConn%1").arg(++g_connectionSerial);
    g_instance = this;
    DataModuleCreate();
}

Tdm::~Tdm()
{
    closeDatabase();
    if (g_instance == this)
        g_instance = nullptr;
}

void Tdm::closeDatabase()
{
    adoQry1.setDatabase(QSqlDatabase());
    ADOQuery1.setDatabase(QSqlDatabase());
    adoConn.close();
    adoConn = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

bool Tdm::reopenDatabase()
{
    if (!openDatabase())
        return false;
    adoQry1.setDatabase(adoConn);
    ADOQuery1.setDatabase(adoConn);
    return true;
}

Tdm *Tdm::instance()
{
    return g_instance;
}

void Tdm::DataModuleCreate()
{
    AppPath = Paths::appPath();

    const QString ctrl = AppPath + QStringLiteral("cell/") + LibraryFileName(QStringLiteral("CellCtrl5"));
    const QString companion = AppPath + QStringLiteral("cell/") + LibraryFileName(QStringLiteral("YRWXls"));
    RunRegsvr32(ctrl, true);
    RunRegsvr32(companion, true);
    RunRegsvr32(ctrl, false);
    RunRegsvr32(companion, false);
    RunRegsvr32(ctrl, true);
    RunRegsvr32(companion, true);

    // Identity numbers, bank accounts and the bureau's answers are the user's alone.
    RestrictNewFilesToOwner();
    for (const char *dir : {"tmp", "xml"}) {
        if (QFileInfo(AppPath + QLatin1String(dir)).isDir())
            QFile::setPermissions(AppPath + QLatin1String(dir), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    reopenDatabase();
}

void Tdm::RunRegsvr32(const QString &path, bool reg)
{
    QStringList args{QStringLiteral("-s")};
    if (!reg)
        args << QStringLiteral("-u");
    args << path;
    Shell::startHidden(AppPath + ProgramFileName(QStringLiteral("Regsvr32")), args);
}

bool Tdm::openDatabase()
{
    // Found beside the program whatever the current directory, and never created when missing:
    // an empty new file would only hide the real problem.
    const QString path = databasePath();
    if (!QFileInfo(path).isFile()) {
        ShowUnhandledError(QStringLiteral("找不到数据库文件“%1”，程序将在没有数据的情况下运行。").arg(path));
        return false;
    }
    adoConn = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    adoConn.setDatabaseName(path);
    adoConn.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!adoConn.open()) {
        ShowUnhandledError(QStringLiteral("无法打开数据库“%1”：%2").arg(path, adoConn.lastError().text()));
        return false;
    }
    QSqlQuery pragma(adoConn);
    pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    pragma.exec(QStringLiteral("PRAGMA foreign_keys=OFF"));
    for (const QString &file : {path, path + QStringLiteral("-wal"), path + QStringLiteral("-shm")}) {
        if (QFileInfo::exists(file))
            QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    }
    // A database from before the filing record gains its table.
    pragma.exec(FilingRecordSchema());
    return true;
}

} // namespace lw
