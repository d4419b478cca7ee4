// SPDX-License-Identifier: GPL-3.0-or-later
// formtool check FILE.xlsx --db DB --table wa_xxx
// Compares a template with its mapping rows: every row's cell must exist and suit the row's
// type, and every input cell of the template must have a row. Prints one line per problem,
// "SHEET:COL:ROW<TAB>problem", and exits 1 when there is any.
#include "Commands.h"
#include "Workbook.h"

#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace lw {
namespace formtool {

namespace {

struct Mapping
{
    int col, row, sheet, type;
    QString field;
};

bool isTextFormat(const Style &style)
{
    return style.numberFormat == QLatin1String("@");
}

// Why the cell cannot hold a value of the mapping row's type; empty when it can.
QString misfit(const Workbook &book, const Cell &cell, const Mapping &m)
{
    const Style &style = book.style(cell.style);
    const bool formula = cell.formula >= 0;
    const bool number = cell.value.type == ValueType::Number && !formula;
    const bool text = cell.value.type == ValueType::Text && !formula;
    switch (m.type) {
    case 1:
    case 6:
        if (m.type == 6 && m.field != QLatin1String("tzzxz") && m.field != QLatin1String("czfs"))
            return QStringLiteral("type 6 needs sField tzzxz or czfs, not \"%1\"").arg(m.field);
        if (formula)
            return QStringLiteral("type %1 (text) on a formula cell").arg(m.type);
        if (number)
            return QStringLiteral("type %1 (text) on a number cell").arg(m.type);
        if (text && style.locked && !cell.value.text.isEmpty())
            return QStringLiteral("mapping row on the caption \"%1\"").arg(cell.value.text);
        if (!text && !isTextFormat(style) && style.numberFormat != QLatin1String("General"))
            return QStringLiteral("type %1 (text) on a cell formatted \"%2\"").arg(m.type).arg(style.numberFormat);
        return {};
    case 2:
    case 3:
        if (text)
            return QStringLiteral("type %1 (number) on a text cell").arg(m.type);
        if (!formula && !number && isTextFormat(style))
            return QStringLiteral("type %1 (number) on a cell formatted as text").arg(m.type);
        return {};
    default:
        return QStringLiteral("unknown type %1").arg(m.type);
    }
}

} // namespace

int check(const QStringList &args)
{
    QString file, dbPath, table;
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--db") && i + 1 < args.size())
            dbPath = args.at(++i);
        else if (args.at(i) == QLatin1String("--table") && i + 1 < args.size())
            table = args.at(++i);
        else if (file.isEmpty() && !args.at(i).startsWith(QLatin1String("--")))
            file = args.at(i);
        else
            return fail(QStringLiteral("check: unexpected argument %1").arg(args.at(i)));
    }
    if (file.isEmpty() || dbPath.isEmpty() || table.isEmpty())
        return fail(QStringLiteral("usage: formtool check FILE.xlsx --db DB --table wa_xxx"));
    // The table name goes into SQL: allow a plain identifier only.
    if (!QRegularExpression(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$")).match(table).hasMatch())
        return fail(QStringLiteral("check: bad table name %1").arg(table));

    Workbook book;
    if (!open(file, book))
        return BadInput;

    std::vector<Mapping> rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("formtool-check"));
        db.setDatabaseName(dbPath);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            return fail(QStringLiteral("check: cannot open %1: %2").arg(dbPath, db.lastError().text()));
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("select col,row,sheet,type,sField from %1").arg(table)))
            return fail(QStringLiteral("check: %1").arg(q.lastError().text()));
        while (q.next())
            rows.push_back({q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt(), q.value(3).toInt(),
                            q.value(4).toString()});
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("formtool-check"));

    int problems = 0;
    auto report = [&](int sheet, int col, int row, const QString &what) {
        out(address(sheet, col, row) + QLatin1Char('\t') + what);
        ++problems;
    };

    QSet<quint64> mapped;
    for (const Mapping &m : rows) {
        const quint64 key = (quint64(quint32(m.sheet)) << 40) | Sheet::key(m.col, m.row);
        if (mapped.contains(key))
            report(m.sheet, m.col, m.row, QStringLiteral("more than one mapping row"));
        mapped.insert(key);
        const Cell *cell = m.sheet >= 0 && m.sheet < book.sheetCount() ? book.cell(m.col, m.row, m.sheet) : nullptr;
        if (!cell) {
            report(m.sheet, m.col, m.row, QStringLiteral("mapping row (type %1) names a cell the template lacks").arg(m.type));
            continue;
        }
        if (const Sheet *s = book.sheet(m.sheet); const CellRange *merge = s->mergeAt(m.col, m.row)) {
            if (merge->col1 != m.col || merge->row1 != m.row) {
                report(m.sheet, m.col, m.row, QStringLiteral("mapping row inside a merged range"));
                continue;
            }
        }
        const QString why = misfit(book, *cell, m);
        if (!why.isEmpty())
            report(m.sheet, m.col, m.row, why);
    }

    for (int s = 0; s < book.sheetCount(); ++s) {
        const Sheet *sheet = book.sheet(s);
        for (const Cell *c : sheet->sortedCells()) {
            if (book.style(c->style).locked || c->formula >= 0)
                continue;
            if (const CellRange *merge = sheet->mergeAt(c->col, c->row); merge && (merge->col1 != c->col || merge->row1 != c->row))
                continue; // only the top-left cell of a merged range takes input
            const quint64 key = (quint64(quint32(s)) << 40) | Sheet::key(c->col, c->row);
            if (!mapped.contains(key))
                report(s, c->col, c->row, QStringLiteral("input cell without mapping row"));
        }
    }
    return problems ? 1 : 0;
}

} // namespace formtool
} // namespace lw
