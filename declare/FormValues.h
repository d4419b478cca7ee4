// SPDX-License-Identifier: GPL-3.0-or-later
// Values of a declaration form between the spreadsheet control and the form's working table:
// the rows of one period, shown into the control and saved back from it.
#pragma once

#include <QList>
#include <QString>

namespace lw {

class TCell;

// Display name of a code in the code table "tzzxz" or "czfs"; empty when unknown.
QString CodeToName(const QString &table, const QString &code);
QString NameToCode(const QString &table, const QString &name);

// A stored amount as the control takes it: commas removed, empty as 0, anything else 0.
double StoredNumber(const QString &value, bool *ok = nullptr);

class FormValues
{
public:
    FormValues(QString workingTable, QString qsrq, QString zzrq)
        : m_table(std::move(workingTable)), m_qsrq(std::move(qsrq)), m_zzrq(std::move(zzrq)) {}

    // "select * from recal_xx where qsrq='…' and zzrq='…'"
    QString selectStatement() const;
    // True when the period has working rows and at least one of them holds a value. Rows that
    // hold none (a first load never saved, say after a crash) count as not stored.
    bool hasStoredValues() const;
    // Copies the mapping rows into the working table, stamped with the period, in place of any
    // rows the period had; all or nothing.
    void copyMapping(const QString &mappingTable) const;
    // Writes the stored values into the control and recalculates.
    void ShowStoredValues(TCell &cell) const;
    // Recalculates and writes every mapped cell into the working rows, all or none. With
    // auditAnnual, a not-applicable cell in columns 7 and 8 of sheet 1 is stored as 0 with iFlag 1.
    // Unatomic runs each statement on its own, as the save once did; kept to measure the difference.
    enum class Commit { Atomic, Unatomic };
    void SaveValues(TCell &cell, bool auditAnnual, Commit commit = Commit::Atomic) const;
    // Deletes the period's rows.
    void deletePeriod() const;

private:
    struct Row
    {
        int col, row, sheet, type, iFlag;
        QString sField, value;
    };
    QList<Row> readRows() const;
    QString where() const;
    QString m_table;
    QString m_qsrq;
    QString m_zzrq;
};

} // namespace lw
