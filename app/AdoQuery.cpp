// SPDX-License-Identifier: GPL-3.0-or-later
#include "AdoQuery.h"

#include <QSqlError>
#include <QSqlRecord>

namespace lw {

QString QuotedStr(const QString &value)
{
    QString escaped = value;
    escaped.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

DbTransaction::DbTransaction(QSqlDatabase db) : m_db(std::move(db))
{
    if (!m_db.transaction())
        throw DbError(m_db.lastError().text());
    m_open = true;
}

DbTransaction::~DbTransaction()
{
    if (m_open)
        m_db.rollback();
}

void DbTransaction::commit()
{
    if (!m_db.commit())
        throw DbError(m_db.lastError().text());
    m_open = false;
}

AdoQuery::AdoQuery(QSqlDatabase db) : m_db(std::move(db)) {}

void AdoQuery::setDatabase(QSqlDatabase db)
{
    Close();
    m_db = std::move(db);
}

void AdoQuery::Close()
{
    m_columns.clear();
    m_rows.clear();
    m_pos = 0;
}

void AdoQuery::Clear()
{
    m_sql.clear();
}

void AdoQuery::Add(const QString &sql)
{
    if (!m_sql.isEmpty())
        m_sql += QLatin1Char('\n');
    m_sql += sql;
}

void AdoQuery::Open()
{
    Close();
    if (!m_db.isOpen())
        throw DbError(QStringLiteral("数据库未连接"));
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.exec(m_sql))
        throw DbError(query.lastError().text());
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i)
        m_columns << record.fieldName(i);
    // The result is kept in memory, like a client-side dataset, so the statement is finished at
    // once and never holds a read lock on the database.
    while (query.next()) {
        QVariantList row;
        row.reserve(m_columns.size());
        for (int i = 0; i < m_columns.size(); ++i)
            row << query.value(i);
        m_rows << row;
    }
}

void AdoQuery::ExecSQL()
{
    Close();
    if (!m_db.isOpen())
        throw DbError(QStringLiteral("数据库未连接"));
    QSqlQuery query(m_db);
    if (!query.exec(m_sql))
        throw DbError(query.lastError().text());
    m_affected = query.numRowsAffected();
}

void AdoQuery::select(const QString &sql)
{
    Close();
    Clear();
    Add(sql);
    Open();
}

void AdoQuery::exec(const QString &sql)
{
    Close();
    Clear();
    Add(sql);
    ExecSQL();
}

QVariant AdoQuery::FieldByName(const QString &name) const
{
    const int col = m_columns.indexOf(name, 0);
    int index = col;
    if (index < 0) {
        for (int i = 0; i < m_columns.size(); ++i) {
            if (m_columns.at(i).compare(name, Qt::CaseInsensitive) == 0) {
                index = i;
                break;
            }
        }
    }
    if (index < 0)
        throw DbError(QStringLiteral("找不到字段 %1").arg(name));
    if (Eof())
        throw DbError(QStringLiteral("数据集没有当前记录"));
    return m_rows.at(m_pos).at(index);
}

} // namespace lw
