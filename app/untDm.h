// SPDX-License-Identifier: GPL-3.0-or-later
// The data module: the one database connection, the two shared statement objects, the
// installation directory and the values windows pass to each other.
#pragma once

#include "AdoQuery.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>

namespace lw {

class Tdm : public QObject
{
    Q_OBJECT
public:
    // Runs the creation handler: AppPath, registration commands, database connection.
    explicit Tdm(QObject *parent = nullptr);
    ~Tdm() override;

    QSqlDatabase adoConn;
    AdoQuery adoQry1;
    AdoQuery ADOQuery1;
    QString AppPath;
    QString TaxCode;
    QString CollectionMethodCode;

    // Starts "Regsvr32 -s [-u] path" hidden and returns at once.
    void RunRegsvr32(const QString &path, bool reg);
    bool connected() const { return adoConn.isOpen(); }
    QString databasePath() const { return AppPath + QStringLiteral("db/db.sqlite"); }
    // Around replacing the database file: the shared statement objects follow the connection.
    void closeDatabase();
    bool reopenDatabase();

    // The instance of the run (the last one created), as every window reaches it.
    static Tdm *instance();

private:
    void DataModuleCreate();
    bool openDatabase();
    QString m_connectionName;
};

inline Tdm *dm() { return Tdm::instance(); }

} // namespace lw
