// SPDX-License-Identifier: GPL-3.0-or-later
#include "FormValues.h"

#include "NumberFormat.h"
#include "ReportKinds.h"
#include "TCell.h"
#include "untDm.h"


#include <optional>

namespace lw {

namespace {

struct CodeTable
{
    const char *table;
    const char *code;
    const char *name;
};

const CodeTable *codeTable(const QString &which)
{
    static const CodeTable tzzxz{"wa_tzzxz", "c_tzzxzcode", "c_tzzxzname"};
    static const CodeTable czfs{"wa_czfs", "c_czfsid", "c_czfsname"};
    if (which == QLatin1String("tzzxz"))
        return &tzzxz;
    if (which == QLatin1String("czfs"))
        return &czfs;
    return nullptr;
}

QString lookup(const QString &which, const QString &value, bool byCode)
{
    const CodeTable *t = codeTable(which);
    if (!t)
        return QString();
    const QString result = QLatin1String(byCode ? t->name : t->code);
    const QString key = QLatin1String(byCode ? t->code : t->name);
    auto &q = dm()->adoQry1;
    q.select(QStringLiteral("select %1 from %2 where %3=").arg(result, QLatin1String(t->table), key) + QuotedStr(value));
    return q.IsEmpty() ? QString() : q.text(result);
}

} // namespace

QString CodeToName(const QString &table, const QString &code)
{
    return lookup(table, code, true);
}

QString NameToCode(const QString &table, const QString &name)
{
    return lookup(table, name, false);
}

double StoredNumber(const QString &value, bool *ok)
{
    QString text = value;
    text.remove(QLatin1Char(','));
    if (text.isEmpty())
        text = QStringLiteral("0");
    bool parsed = false;
    const double n = text.toDouble(&parsed);
    if (ok)
        *ok = parsed;
    return parsed ? n : 0.0;
}

QString FormValues::where() const
{
    return QStringLiteral(" where qsrq=") + QuotedStr(m_qsrq) + QStringLiteral(" and zzrq=") + QuotedStr(m_zzrq);
}

QString FormValues::selectStatement() const
{
    return QStringLiteral("select * from ") + m_table + where();
}

bool FormValues::hasStoredValues() const
{
    auto &q = dm()->adoQry1;
    q.select(selectStatement() + QStringLiteral(" and sValue<>''"));
    return !q.IsEmpty();
}

void FormValues::copyMapping(const QString &mappingTable) const
{
    DbTransaction transaction(dm()->adoConn);
    deletePeriod();
    dm()->adoQry1.exec(QStringLiteral("insert into %1(col,row,sheet,type,sField,qsrq,zzrq) select col,row,sheet,type,sField,")
                           .arg(m_table)
                       + QuotedStr(m_qsrq) + QStringLiteral(",") + QuotedStr(m_zzrq) + QStringLiteral(" from ") + mappingTable);
    transaction.commit();
}

QList<FormValues::Row> FormValues::readRows() const
{
    // Read into memory first: the code lookups reuse the shared statement.
    QList<Row> rows;
    auto &q = dm()->adoQry1;
    q.select(selectStatement());
    for (q.First(); !q.Eof(); q.Next())
        rows.append({q.FieldByName(QStringLiteral("col")).toInt(), q.FieldByName(QStringLiteral("row")).toInt(),
                     q.FieldByName(QStringLiteral("sheet")).toInt(), q.FieldByName(QStringLiteral("type")).toInt(),
                     q.FieldByName(QStringLiteral("iFlag")).toInt(), q.text(QStringLiteral("sField")),
                     q.text(QStringLiteral("sValue"))});
    return rows;
}

void FormValues::ShowStoredValues(TCell &cell) const
{
    for (const Row &r : readRows()) {
        switch (r.type) {
        case 1:
            cell.WriteCellText(r.col, r.row, r.sheet, r.value);
            break;
        case 2:
        case 3: {
            bool ok = false;
            cell.WriteCellNumber(r.col, r.row, r.sheet, StoredNumber(r.value, &ok));
            if (ok && r.iFlag == 1)
                cell.WriteCellMark(r.col, r.row, r.sheet, NotApplicableMark);
            break;
        }
        case 6:
            cell.WriteCellText(r.col, r.row, r.sheet, CodeToName(r.sField, r.value));
            break;
        default:
            break;
        }
    }
    cell.RecalculateWorkbook();
}

void FormValues::SaveValues(TCell &cell, bool auditAnnual, Commit commit) const
{
    cell.RecalculateWorkbook();
    const QList<Row> rows = readRows();
    const QString cellKey = QStringLiteral(" and col=%1 and row=%2 and sheet=%3");
    std::optional<DbTransaction> transaction;
    if (commit == Commit::Atomic)
        transaction.emplace(dm()->adoConn);
    for (const Row &r : rows) {
        QString value = r.type == 3 ? FormatGeneral(cell.ReadCellNumber(r.col, r.row, r.sheet))
                                    : cell.ReadCellText(r.col, r.row, r.sheet);
        if (r.type == 2 && value.isEmpty())
            value = QStringLiteral("0");
        if (r.type == 6)
            value = NameToCode(r.sField, value);
        QString sql;
        if (auditAnnual && r.sheet == 1 && (r.col == 7 || r.col == 8)
            && cell.ReadCellMark(r.col, r.row, r.sheet) == NotApplicableMark)
            sql = QStringLiteral("update ") + m_table + QStringLiteral(" set iFlag=1,sValue='0'") + where();
        else
            sql = QStringLiteral("update ") + m_table + QStringLiteral(" set sValue=") + QuotedStr(value) + where();
        dm()->adoQry1.exec(sql + cellKey.arg(r.col).arg(r.row).arg(r.sheet));
    }
    if (transaction)
        transaction->commit();
}

void FormValues::deletePeriod() const
{
    dm()->adoQry1.exec(QStringLiteral("delete from ") + m_table + where());
}

} // namespace lw
