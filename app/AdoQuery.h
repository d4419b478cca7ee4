// SPDX-License-Identifier: GPL-3.0-or-later
// A statement object used the way every window uses the shared ones: close, clear the text, add
// one statement, then open it (a select) or execute it. Failures raise DbError with the database
// layer's text, which ends the handler and reaches the standard error box.
#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <stdexcept>

namespace lw {

class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

// Text value for SQL: single quotes around, embedded quotes doubled.
QString QuotedStr(const QString &value);

// Runs the statements of its scope in one transaction: committed by commit(), rolled back when
// the scope is left without it (an error raised), so a multi-statement change is all or nothing.
class DbTransaction
{
public:
    explicit DbTransaction(QSqlDatabase db);
    ~DbTransaction();
    void commit();
    DbTransaction(const DbTransaction &) = delete;
    DbTransaction &operator=(const DbTransaction &) = delete;

private:
    QSqlDatabase m_db;
    bool m_open = false;
};

class AdoQuery
{
public:
    explicit AdoQuery(QSqlDatabase db = QSqlDatabase());
    void setDatabase(QSqlDatabase db);

    void Close();
    void Clear();
    void Add(const QString &sql);
    void Open();    // runs a select and positions on the first row
    void ExecSQL(); // runs anything else

    // Shorthands for the close/clear/add/open-or-execute ritual.
    void select(const QString &sql);
    void exec(const QString &sql);

    bool IsEmpty() const { return m_rows.isEmpty(); }
    bool Eof() const { return m_pos >= m_rows.size(); }
    int RecordCount() const { return int(m_rows.size()); }
    void First() { m_pos = 0; }
    void Next() { ++m_pos; }
    // Value of a column of the current row; an unknown column raises DbError.
    QVariant FieldByName(const QString &name) const;
    QString text(const QString &name) const { return FieldByName(name).toString(); }
    QString sqlText() const { return m_sql; }
    const QStringList &columnNames() const { return m_columns; }
    int rowsAffected() const { return m_affected; }

private:
    QSqlDatabase m_db;
    QString m_sql;
    QStringList m_columns;
    QList<QVariantList> m_rows;
    int m_pos = 0;
    int m_affected = 0;
};

} // namespace lw
