// SPDX-License-Identifier: GPL-3.0-or-later
#include "XlsxReader.h"
#include "Engine.h"
#include "Formula.h"
#include "Workbook.h"
#include "XlsxPackage.h"

#include <QRegularExpression>

#include <cmath>

namespace lw {

namespace {

struct SheetRef
{
    QString name;
    QString part;
};

struct DefinedName
{
    QString name;
    QString ref;
    int localSheet = -1;
};

struct SharedMaster
{
    QString text;
    int col = 0, row = 0;
};

class Reader
{
public:
    Reader(ZipPackage &zip, Workbook &book) : m_zip(zip), m_book(book) {}

    bool run(QString *error)
    {
        QHash<QString, QString> types;
        QString workbookPart = QStringLiteral("xl/workbook.xml");
        const auto root = readRelationships(m_zip, QString(), &types, error);
        if (!error->isEmpty())
            return false;
        for (auto it = root.begin(); it != root.end(); ++it)
            if (types.value(it.key()).endsWith(QLatin1String("/officeDocument")))
                workbookPart = it.value();
        types.clear();
        const auto rels = readRelationships(m_zip, workbookPart, &types, error);
        if (!error->isEmpty())
            return false;
        QString stylesPart = QStringLiteral("xl/styles.xml"), stringsPart = QStringLiteral("xl/sharedStrings.xml");
        QString themePart;
        for (auto it = rels.begin(); it != rels.end(); ++it) {
            const QString t = types.value(it.key());
            if (t.endsWith(QLatin1String("/styles")))
                stylesPart = it.value();
            else if (t.endsWith(QLatin1String("/sharedStrings")))
                stringsPart = it.value();
            else if (t.endsWith(QLatin1String("/theme")))
                themePart = it.value();
        }
        QByteArray data;
        if (!m_zip.read(workbookPart, &data, error))
            return false;
        if (!readWorkbook(data, rels, error))
            return false;
        QByteArray theme;
        if (!themePart.isEmpty() && m_zip.has(themePart) && !m_zip.read(themePart, &theme, error))
            return false;
        if (m_zip.has(stylesPart)) {
            if (!m_zip.read(stylesPart, &data, error) || !readStyles(data, theme, m_book, &m_xfStyles, error))
                return false;
        }
        if (m_zip.has(stringsPart)) {
            if (!m_zip.read(stringsPart, &data, error) || !readStrings(data, error))
                return false;
        }
        for (int i = 0; i < int(m_sheets.size()); ++i) {
            Sheet &s = m_book.addSheet(m_sheets[i].name);
            if (!m_zip.read(m_sheets[i].part, &data, error) || !readSheet(data, s, i, error))
                return false;
        }
        applyMarkNames();
        for (const DefinedName &d : m_names) {
            if (d.name.compare(QLatin1String("_xlnm.Print_Titles"), Qt::CaseInsensitive) == 0)
                applyPrintTitles(d);
            else if (!d.name.startsWith(QLatin1String("_xlnm."), Qt::CaseInsensitive))
                m_book.addDefinedName({d.name, d.localSheet, d.ref});
        }
        return true;
    }

private:
    // "'投资者'!$1:$3" (possibly after a column part "…!$A:$B,"): the rows repeated on each page.
    void applyPrintTitles(const DefinedName &d)
    {
        Sheet *s = m_book.sheet(d.localSheet);
        if (!s)
            return;
        static const QRegularExpression rows(QStringLiteral("!\\$?(\\d+):\\$?(\\d+)$"));
        for (const QString &part : d.ref.split(QLatin1Char(','))) {
            const QRegularExpressionMatch m = rows.match(part.trimmed());
            if (!m.hasMatch())
                continue;
            const int first = m.captured(1).toInt(), last = m.captured(2).toInt();
            if (first >= 1 && first <= last && last <= MaxRow) {
                s->titleRowFirst = first;
                s->titleRowLast = last;
            }
        }
    }

    bool readWorkbook(const QByteArray &data, const QHash<QString, QString> &rels, QString *error)
    {
        SafeXml x(data);
        while (x.next() != QXmlStreamReader::Invalid) {
            QXmlStreamReader &r = x.reader();
            if (!r.isStartElement())
                continue;
            if (r.name() == QLatin1String("sheet")) {
                QString id;
                for (const QXmlStreamAttribute &a : r.attributes())
                    if (a.name() == QLatin1String("id") && !a.namespaceUri().isEmpty())
                        id = a.value().toString();
                if (!rels.contains(id)) {
                    *error = QStringLiteral("工作表“%1”缺少其部件").arg(x.attr("name"));
                    return false;
                }
                if (m_sheets.size() >= size_t(MaxSheets)) {
                    *error = QStringLiteral("工作表过多");
                    return false;
                }
                m_sheets.push_back({x.attr("name"), rels.value(id)});
            } else if (r.name() == QLatin1String("definedName")) {
                DefinedName d;
                d.name = x.attr("name");
                bool ok = false;
                d.localSheet = x.attr("localSheetId").toInt(&ok);
                if (!ok)
                    d.localSheet = -1;
                d.ref = x.elementText();
                if (m_names.size() < 100000)
                    m_names.push_back(d);
            }
        }
        if (x.failed()) {
            *error = QStringLiteral("workbook.xml：%1").arg(x.error());
            return false;
        }
        if (m_sheets.empty()) {
            *error = QStringLiteral("工作簿中没有工作表");
            return false;
        }
        return true;
    }

    bool readStrings(const QByteArray &data, QString *error)
    {
        SafeXml x(data);
        while (x.next() != QXmlStreamReader::Invalid) {
            if (x.reader().isStartElement() && x.name() == QLatin1String("si")) {
                if (m_strings.size() >= size_t(MaxStrings)) {
                    *error = QStringLiteral("共享字符串过多");
                    return false;
                }
                m_strings.push_back(x.elementText());
            }
        }
        if (x.failed()) {
            *error = QStringLiteral("sharedStrings.xml：%1").arg(x.error());
            return false;
        }
        return true;
    }

    int styleOf(const QString &s) const
    {
        bool ok = false;
        const int i = s.toInt(&ok);
        if (ok && i >= 0 && i < int(m_xfStyles.size()))
            return m_xfStyles[i];
        return m_xfStyles.empty() ? 0 : m_xfStyles.front();
    }

    bool readSheet(const QByteArray &data, Sheet &sheet, int sheetIndex, QString *error)
    {
        SafeXml x(data);
        QHash<int, SharedMaster> shared;
        int curRow = 0, curCol = 0;
        while (x.next() != QXmlStreamReader::Invalid) {
            QXmlStreamReader &r = x.reader();
            if (!r.isStartElement())
                continue;
            const QStringView n = r.name();
            if (n == QLatin1String("row")) {
                bool ok = false;
                const int row = x.attr("r").toInt(&ok);
                curRow = ok ? row : curRow + 1;
                curCol = 0;
                if (curRow < 1 || curRow > MaxRow) {
                    x.fail(QStringLiteral("行号超出范围"));
                    break;
                }
                const QString ht = x.attr("ht");
                if (x.attr("hidden") == QLatin1String("1") || x.attr("hidden") == QLatin1String("true"))
                    sheet.rowHeights.insert(curRow, 0); // a hidden row takes no room
                else if (!ht.isEmpty())
                    sheet.rowHeights.insert(curRow, qBound(0.0, ht.toDouble(), 409.0));
            } else if (n == QLatin1String("c")) {
                if (!readCell(x, sheet, sheetIndex, shared, &curRow, &curCol))
                    break;
            } else if (n == QLatin1String("col")) {
                const int a = x.attr("min").toInt(), b = x.attr("max").toInt();
                const bool hidden = x.attr("hidden") == QLatin1String("1") || x.attr("hidden") == QLatin1String("true");
                const double w = hidden ? 0 : x.attr("width").toDouble();
                if (a >= 1 && b >= a && b <= MaxCol && (m_columnSpans += b - a + 1) > MaxColumnSpans) {
                    x.fail(QStringLiteral("列宽定义过多"));
                    break;
                }
                if (a >= 1 && b >= a && b <= MaxCol && (w > 0 || hidden))
                    for (int c = a; c <= b; ++c)
                        sheet.colWidths.insert(c, qMin(w, 255.0));
            } else if (n == QLatin1String("sheetFormatPr")) {
                const double w = x.attr("defaultColWidth").toDouble(), h = x.attr("defaultRowHeight").toDouble();
                if (w > 0 && w < 256)
                    sheet.defaultColWidth = w;
                if (h > 0 && h < 410)
                    sheet.defaultRowHeight = h;
            } else if (n == QLatin1String("mergeCell")) {
                CellRange m;
                if (parseRangeAddress(x.attr("ref"), &m.col1, &m.row1, &m.col2, &m.row2) && sheet.merges.size() < 100000)
                    sheet.merges.push_back(m);
            }
        }
        if (x.failed()) {
            *error = QStringLiteral("工作表“%1”：%2").arg(sheet.name, x.error());
            return false;
        }
        return true;
    }

    bool readCell(SafeXml &x, Sheet &sheet, int sheetIndex, QHash<int, SharedMaster> &shared, int *curRow, int *curCol)
    {
        int col = 0, row = 0;
        const QString ref = x.attr("r");
        if (ref.isEmpty()) {
            col = *curCol + 1;
            row = qMax(*curRow, 1);
        } else if (!parseCellAddress(ref, &col, &row)) {
            x.fail(QStringLiteral("无效的单元格地址 %1").arg(ref.left(20)));
            return false;
        }
        *curCol = col;
        *curRow = row;
        if (++m_cellCount > MaxCells) {
            x.fail(QStringLiteral("单元格过多"));
            return false;
        }
        const QString type = x.attr("t");
        const int style = styleOf(x.attr("s"));
        QString valueText, formula, inlineText;
        bool hasValue = false, hasFormula = false, hasInline = false;
        QString fType, fRef;
        int fSi = -1;
        QXmlStreamReader &r = x.reader();
        for (;;) {
            const auto t = x.next();
            if (t == QXmlStreamReader::Invalid)
                return false;
            if (t == QXmlStreamReader::EndElement && r.name() == QLatin1String("c"))
                break;
            if (t != QXmlStreamReader::StartElement)
                continue;
            if (r.name() == QLatin1String("v")) {
                valueText = x.elementText();
                hasValue = true;
            } else if (r.name() == QLatin1String("f")) {
                fType = x.attr("t");
                fRef = x.attr("ref");
                bool ok = false;
                fSi = x.attr("si").toInt(&ok);
                if (!ok)
                    fSi = -1;
                formula = x.elementText();
                hasFormula = true;
            } else if (r.name() == QLatin1String("is")) {
                inlineText = x.elementText();
                hasInline = true;
            }
        }
        Cell &c = sheet.ensure(col, row);
        c.style = style;
        c.mark = m_book.style(style).mark;
        if (type == QLatin1String("s")) {
            bool ok = false;
            const int i = valueText.toInt(&ok);
            if (hasValue && ok && i >= 0 && i < int(m_strings.size()))
                c.value = m_strings[i].isEmpty() ? Value() : Value::fromText(m_strings[i]);
        } else if (type == QLatin1String("inlineStr")) {
            if (hasInline && !inlineText.isEmpty())
                c.value = Value::fromText(inlineText);
        } else if (type == QLatin1String("str")) {
            // Writers that cannot mark a cached error store its text as a string result.
            const CellError e = hasFormula ? errorFromText(valueText) : CellError::None;
            if (hasValue)
                c.value = e != CellError::None ? Value::fromError(e) : Value::fromText(valueText);
        } else if (type == QLatin1String("b")) {
            if (hasValue)
                c.value = Value::fromBool(valueText.trimmed() == QLatin1String("1"));
        } else if (type == QLatin1String("e")) {
            const CellError e = errorFromText(valueText.trimmed());
            if (hasValue)
                c.value = Value::fromError(e == CellError::None ? CellError::Value : e);
        } else if (type == QLatin1String("d")) {
            const QString d = valueText.left(10);
            double serial = 0;
            if (hasValue && parseNumericText(d, &serial))
                c.value = Value::fromNumber(serial);
        } else if (hasValue) {
            bool ok = false;
            const double v = valueText.trimmed().toDouble(&ok);
            if (ok && std::isfinite(v))
                c.value = Value::fromNumber(v);
        }
        if (hasFormula && fType != QLatin1String("dataTable")) {
            if (fType == QLatin1String("shared") && fSi >= 0) {
                if (!formula.trimmed().isEmpty()) {
                    shared.insert(fSi, {formula, col, row});
                } else if (shared.contains(fSi)) {
                    const SharedMaster &m = shared[fSi];
                    formula = shiftFormula(m.text, col - m.col, row - m.row);
                }
            }
            formula = formula.trimmed();
            if ((m_formulaChars += formula.size()) > MaxFormulaChars) {
                x.fail(QStringLiteral("公式过多"));
                return false;
            }
            if (formula.startsWith(QLatin1Char('='))) // some writers keep the sign typed in the cell
                formula = formula.mid(1);
            if (!formula.isEmpty())
                m_book.engine().setFormula(c, sheetIndex, formula);
        }
        return true;
    }

    // Defined names "MarkN" or "MarkN_anything" mark the cells they refer to.
    void applyMarkNames()
    {
        static const QRegularExpression markName(QStringLiteral("^mark(\\d{1,4})(_.*)?$"),
                                                 QRegularExpression::CaseInsensitiveOption);
        qint64 budget = 1000000;
        for (const DefinedName &d : m_names) {
            const auto m = markName.match(d.name);
            if (!m.hasMatch())
                continue;
            const int mark = m.captured(1).toInt();
            QString ref = d.ref.trimmed();
            if (ref.startsWith(QLatin1Char('=')))
                ref = ref.mid(1);
            for (const QString &partRaw : splitList(ref)) {
                QString part = partRaw.trimmed();
                int sheet = d.localSheet;
                const int bang = part.lastIndexOf(QLatin1Char('!'));
                if (bang >= 0) {
                    QString name = part.left(bang);
                    if (name.startsWith(QLatin1Char('\'')) && name.endsWith(QLatin1Char('\'')) && name.size() >= 2)
                        name = name.mid(1, name.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
                    sheet = m_book.sheetIndex(name);
                    part = part.mid(bang + 1);
                }
                part.remove(QLatin1Char('$'));
                int c1, r1, c2, r2;
                Sheet *s = m_book.sheet(sheet);
                if (!s || !parseRangeAddress(part, &c1, &r1, &c2, &r2))
                    continue;
                const qint64 area = qint64(c2 - c1 + 1) * (r2 - r1 + 1);
                if (area > budget)
                    continue;
                budget -= area;
                for (int row = r1; row <= r2; ++row)
                    for (int col = c1; col <= c2; ++col)
                        s->ensure(col, row).mark = mark;
            }
        }
    }

    // Splits "a,b" at commas outside quoted sheet names.
    static QStringList splitList(const QString &s)
    {
        QStringList out;
        QString cur;
        bool quoted = false;
        for (QChar c : s) {
            if (c == QLatin1Char('\''))
                quoted = !quoted;
            if (c == QLatin1Char(',') && !quoted) {
                out << cur;
                cur.clear();
            } else {
                cur += c;
            }
        }
        out << cur;
        return out;
    }

    ZipPackage &m_zip;
    Workbook &m_book;
    std::vector<SheetRef> m_sheets;
    std::vector<DefinedName> m_names;
    std::vector<QString> m_strings;
    std::vector<int> m_xfStyles;
    int m_cellCount = 0;
    qint64 m_formulaChars = 0;
    qint64 m_columnSpans = 0;
};

bool load(ZipPackage &zip, Workbook &book, QString *error)
{
    book.clear();
    QString err;
    if (!Reader(zip, book).run(&err)) {
        book.clear();
        *error = err.isEmpty() ? QStringLiteral("无法读取 xlsx 文件") : err;
        return false;
    }
    return true;
}

} // namespace

bool readXlsxFile(const QString &path, Workbook &book, QString *error)
{
    ZipPackage zip;
    if (!zip.openFile(path, error)) {
        book.clear();
        return false;
    }
    return load(zip, book, error);
}

bool readXlsxData(const QByteArray &data, Workbook &book, QString *error)
{
    ZipPackage zip;
    if (!zip.openData(data, error)) {
        book.clear();
        return false;
    }
    return load(zip, book, error);
}

} // namespace lw
