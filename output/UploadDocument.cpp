// SPDX-License-Identifier: GPL-3.0-or-later
#include "UploadDocument.h"

#include "AdoQuery.h"
#include "FormCells.h"
#include "FormValues.h"
#include "untDm.h"

namespace lw {

namespace {

// Positions 0 to 4 of kinds 1, 2, 4 and 5: version, key, period start and end as the load wrote
// them, filing date.
void writeHeader(XmlNode root, const FormCells &f, const UploadDocumentKind &kind, int startCol, int endCol,
                 const QString &filingDate)
{
    root.child(0).setText(QStringLiteral("1.0"));
    root.child(1).setText(f.text(kind.keyCol, kind.keyRow, 0));
    root.child(2).setText(f.text(startCol, 2, 0));
    root.child(3).setText(f.text(endCol, 2, 0));
    root.child(4).setText(filingDate);
}

// Numbers of a column of cells, row by row.
QStringList columnNumbers(const FormCells &f, int col, int firstRow, int lastRow, int sheet = 0)
{
    QStringList values;
    for (int r = firstRow; r <= lastRow; ++r)
        values << f.number(col, r, sheet);
    return values;
}

// A block of cells column by column: all rows of the first column, then the next column.
QStringList blockNumbers(const FormCells &f, int sheet, int firstCol, int lastCol, int firstRow, int lastRow)
{
    QStringList values;
    for (int c = firstCol; c <= lastCol; ++c)
        values << columnNumbers(f, c, firstRow, lastRow, sheet);
    return values;
}

// Investor rows: columns 1..textCols as text, the rest up to lastCol as numbers; only rows whose
// column 1 holds an entry.
void writeRows(XmlNode list, const FormCells &f, int sheet, int firstRow, int lastRow, int textCols, int lastCol)
{
    RowList rows(list);
    for (int r = firstRow; r <= lastRow; ++r) {
        if (!f.holdsEntry(r, sheet))
            continue;
        XmlNode element = rows.append();
        for (int c = 1; c <= lastCol; ++c)
            element.child(c - 1).setText(c <= textCols ? f.text(c, r, sheet) : f.number(c, r, sheet));
    }
}

void fillQuarterly(XmlNode root, const FormCells &f)
{
    SetValues(root.child(5), columnNumbers(f, 4, 8, 13));
    writeRows(root.child(6), f, 1, 4, 53, 3, 15);
}

void fillLiquidation(XmlNode root, const FormCells &f)
{
    SetValues(root.child(5), columnNumbers(f, 4, 6, 14));
    writeRows(root.child(6), f, 1, 4, 53, 3, 14);
    SetValues(root.child(7), blockNumbers(f, 2, 3, 6, 4, 34));
    SetValues(root.child(8), blockNumbers(f, 3, 3, 6, 4, 25));
}

void fillConsolidated(XmlNode root, const FormCells &f, const QString &filingDate)
{
    root.child(0).setText(QStringLiteral("1.0"));
    root.child(1).setText(f.text(1, 24, 0));
    root.child(2).setText(f.text(5, 4, 0));
    root.child(3).setText(f.text(3, 2, 0));
    root.child(4).setText(f.text(5, 2, 0));
    root.child(5).setText(filingDate);
    // The enterprises: name and identification number as text, share and taxable income as
    // numbers; column 6 stays on the form.
    for (int r = 6; r <= 11; ++r) {
        const int p = 6 + 4 * (r - 6);
        root.child(p).setText(f.text(3, r, 0));
        root.child(p + 1).setText(f.text(4, r, 0));
        root.child(p + 2).setText(f.number(5, r, 0));
        root.child(p + 3).setText(f.number(7, r, 0));
    }
    for (int r = 13; r <= 23; ++r)
        root.child(30 + (r - 13)).setText(f.number(7, r, 0));
}

// The enterprise lines of the audit-based annual form as the last save stored them.
QStringList storedEnterpriseLines(const FilingDates &dates)
{
    auto &q = dm()->adoQry1;
    // Rows that share a line keep a fixed order by column.
    q.select(QStringLiteral("select * from recal_cz where sheet=0 and row>=8 and qsrq=") + QuotedStr(dates.qsrq)
             + QStringLiteral(" and zzrq=") + QuotedStr(dates.zzrq) + QStringLiteral(" order by row, col"));
    QStringList values;
    for (q.First(); !q.Eof(); q.Next()) {
        QString value = q.text(QStringLiteral("sValue"));
        if (q.FieldByName(QStringLiteral("type")).toInt() == 2) {
            value.remove(QLatin1Char(','));
            if (value.isEmpty())
                value = QStringLiteral("0");
        }
        values << value;
    }
    return values;
}

void fillAuditAnnual(XmlNode root, const FormCells &f, const FilingDates &dates)
{
    SetValues(root.child(5), storedEnterpriseLines(dates));
    writeRows(root.child(6), f, 1, 5, 54, 3, 19);
    SetValues(root.child(7), blockNumbers(f, 2, 3, 5, 5, 51));
    // The loss sheet: all six years, whatever they hold.
    RowList years(root.child(8));
    for (int r = 7; r <= 12; ++r) {
        XmlNode element = years.append();
        element.child(0).setText(f.text(3, r, 3));
        for (int c = 4; c <= 13; ++c)
            element.child(c - 3).setText(f.number(c, r, 3));
    }
    writeRows(root.child(9), f, 4, 5, 27, 1, 6);
}

void fillDeemedAnnual(XmlNode root, const FormCells &f)
{
    SetValues(root.child(5), columnNumbers(f, 4, 8, 16));
    writeRows(root.child(6), f, 1, 4, 53, 3, 19);
}

void fillPartnerMembers(XmlNode root, const FormCells &f)
{
    RowList rows(root.child(5));
    for (int r = 4; r <= 24; ++r) {
        if (!f.holdsEntry(r, 0))
            continue;
        XmlNode element = rows.append();
        for (int c = 1; c <= 14; ++c) {
            QString value;
            if (c == 4)
                value = NameToCode(QStringLiteral("tzzxz"), f.text(c, r, 0));
            else if (c == 7)
                value = NameToCode(QStringLiteral("czfs"), f.text(c, r, 0));
            else if (c >= 8 && c <= 12)
                value = f.number(c, r, 0);
            else
                value = f.text(c, r, 0);
            element.child(c - 1).setText(value);
        }
    }
}

} // namespace

UploadDocumentKind UploadDocumentOf(int reportKind, bool auditBased)
{
    switch (reportKind) {
    case 1:
        return {QStringLiteral("DATA_YJBB"), 2, 3, 5, 4};
    case 2:
        return {QStringLiteral("DATA_QSBB"), 3, 3, 3, 4};
    case 3:
        return {QStringLiteral("DATA_HZBB"), 3, 3, 1, 24};
    case 4:
        return {auditBased ? QStringLiteral("DATA_CZZS") : QStringLiteral("DATA_HDZS"), 2, 3, 5, 4};
    case 5:
        return {QStringLiteral("DATA_HHQYSBMX"), 2, 2, 2, 2};
    default:
        return {};
    }
}

XmlDoc BuildUploadDocument(const QString &templatePath, TCell &cell, int reportKind, bool auditBased,
                           const FilingDates &dates)
{
    const UploadDocumentKind kind = UploadDocumentOf(reportKind, auditBased);
    XmlDoc doc = XmlDoc::fromFile(templatePath);
    XmlNode root = doc.child(1);
    const FormCells f(cell);
    switch (reportKind) {
    case 1:
        writeHeader(root, f, kind, 2, 4, dates.filingDate);
        fillQuarterly(root, f);
        break;
    case 2:
        writeHeader(root, f, kind, 3, 5, dates.filingDate);
        fillLiquidation(root, f);
        break;
    case 3:
        fillConsolidated(root, f, dates.filingDate);
        break;
    case 4:
        writeHeader(root, f, kind, 2, 4, dates.filingDate);
        if (auditBased)
            fillAuditAnnual(root, f, dates);
        else
            fillDeemedAnnual(root, f);
        break;
    case 5:
        writeHeader(root, f, kind, 3, 4, dates.filingDate);
        fillPartnerMembers(root, f);
        break;
    default:
        throw XmlError(QStringLiteral("未知的申报表种类：%1").arg(reportKind));
    }
    return doc;
}

} // namespace lw
