// SPDX-License-Identifier: GPL-3.0-or-later
#include "XlsxWriter.h"
#include "Workbook.h"

#include <QHash>
#include <QMap>
#include <QRegularExpression>

#include <clocale>
#include <xlsxwriter.h>

namespace lw {

namespace {

lxw_color_t rgbOf(const QColor &c)
{
    return lxw_color_t(c.rgb() & 0xFFFFFF);
}

uint8_t lxwBorder(std::uint8_t s)
{
    switch (s) {
    case 1: return LXW_BORDER_THIN;
    case 2: return LXW_BORDER_MEDIUM;
    case 3: return LXW_BORDER_THICK;
    case 4: return LXW_BORDER_DASHED;
    case 5: return LXW_BORDER_DOTTED;
    case 6: return LXW_BORDER_DOUBLE;
    default: return LXW_BORDER_NONE;
    }
}

lxw_format *makeFormat(lxw_workbook *wb, const Style &s)
{
    lxw_format *f = workbook_add_format(wb);
    if (!s.fontName.isEmpty())
        format_set_font_name(f, s.fontName.toUtf8().constData());
    format_set_font_size(f, s.fontSize);
    if (s.bold) format_set_bold(f);
    if (s.italic) format_set_italic(f);
    if (s.underline) format_set_underline(f, LXW_UNDERLINE_SINGLE);
    if (s.fontColor.isValid()) format_set_font_color(f, rgbOf(s.fontColor));
    if (s.fill.isValid()) {
        format_set_pattern(f, LXW_PATTERN_SOLID);
        format_set_bg_color(f, rgbOf(s.fill));
    }
    switch (s.hAlign) {
    case HAlign::Left: format_set_align(f, LXW_ALIGN_LEFT); break;
    case HAlign::Center: format_set_align(f, LXW_ALIGN_CENTER); break;
    case HAlign::Right: format_set_align(f, LXW_ALIGN_RIGHT); break;
    case HAlign::Fill: format_set_align(f, LXW_ALIGN_FILL); break;
    case HAlign::Justify: format_set_align(f, LXW_ALIGN_JUSTIFY); break;
    default: break;
    }
    switch (s.vAlign) {
    case VAlign::Top: format_set_align(f, LXW_ALIGN_VERTICAL_TOP); break;
    case VAlign::Center: format_set_align(f, LXW_ALIGN_VERTICAL_CENTER); break;
    default: break;
    }
    if (s.wrap) format_set_text_wrap(f);
    if (s.indent > 0) format_set_indent(f, uint8_t(qMin(s.indent, 15)));
    const Border *sides[] = {&s.left, &s.right, &s.top, &s.bottom};
    for (int i = 0; i < 4; ++i) {
        if (!sides[i]->style)
            continue;
        const uint8_t b = lxwBorder(sides[i]->style);
        const lxw_color_t c = sides[i]->color.isValid() ? rgbOf(sides[i]->color) : 0;
        switch (i) {
        case 0: format_set_left(f, b); if (c) format_set_left_color(f, c); break;
        case 1: format_set_right(f, b); if (c) format_set_right_color(f, c); break;
        case 2: format_set_top(f, b); if (c) format_set_top_color(f, c); break;
        default: format_set_bottom(f, b); if (c) format_set_bottom_color(f, c); break;
        }
    }
    if (s.numberFormat != QLatin1String("General"))
        format_set_num_format(f, s.numberFormat.toUtf8().constData());
    if (!s.locked) format_set_unlocked(f);
    if (s.hidden) format_set_hidden(f);
    return f;
}

QString quotedSheet(const QString &name)
{
    QString n = name;
    n.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + n + QLatin1Char('\'');
}

} // namespace

bool writeXlsxFile(const Workbook &book, const QString &path, QString *error)
{
    // libxlsxwriter prints numbers with the C library: a decimal comma would corrupt them.
    std::setlocale(LC_NUMERIC, "C");
    lxw_workbook *wb = workbook_new(path.toUtf8().constData());
    if (!wb) {
        *error = QStringLiteral("无法创建文件：%1").arg(path);
        return false;
    }
    QHash<int, lxw_format *> formats;
    auto formatOf = [&](int style) -> lxw_format * {
        if (style <= 0)
            return nullptr;
        auto it = formats.find(style);
        if (it == formats.end())
            it = formats.insert(style, makeFormat(wb, book.style(style)));
        return it.value();
    };
    QMap<int, QStringList> marks;
    for (int si = 0; si < book.sheetCount(); ++si) {
        const Sheet &sheet = *book.sheet(si);
        QString name = sheet.name.left(31);
        lxw_worksheet *ws = workbook_add_worksheet(wb, name.toUtf8().constData());
        if (!ws)
            ws = workbook_add_worksheet(wb, nullptr);
        if (!ws) {
            workbook_close(wb);
            *error = QStringLiteral("无法写入工作表“%1”").arg(sheet.name);
            return false;
        }
        // Widths in the file include the cell padding that libxlsxwriter adds again.
        for (auto it = sheet.colWidths.begin(); it != sheet.colWidths.end(); ++it)
            worksheet_set_column(ws, lxw_col_t(it.key() - 1), lxw_col_t(it.key() - 1),
                                 it.value() > 1 ? it.value() - 5.0 / 7.0 : it.value(), nullptr);
        for (auto it = sheet.rowHeights.begin(); it != sheet.rowHeights.end(); ++it)
            worksheet_set_row(ws, lxw_row_t(it.key() - 1), it.value(), nullptr);
        if (sheet.titleRowFirst > 0)
            worksheet_repeat_rows(ws, lxw_row_t(sheet.titleRowFirst - 1), lxw_row_t(sheet.titleRowLast - 1));
        for (const CellRange &m : sheet.merges) {
            const Cell *first = sheet.find(m.col1, m.row1);
            worksheet_merge_range(ws, lxw_row_t(m.row1 - 1), lxw_col_t(m.col1 - 1), lxw_row_t(m.row2 - 1),
                                  lxw_col_t(m.col2 - 1), "", formatOf(first ? first->style : 0));
        }
        for (const Cell *c : sheet.sortedCells()) {
            const lxw_row_t r = lxw_row_t(c->row - 1);
            const lxw_col_t col = lxw_col_t(c->col - 1);
            lxw_format *f = formatOf(c->style);
            if (c->mark)
                marks[c->mark] << quotedSheet(sheet.name) + QStringLiteral("!$") + columnName(c->col) + QStringLiteral("$")
                        + QString::number(c->row);
            if (c->formula >= 0) {
                const QByteArray text = (QLatin1Char('=') + book.formulaText(*c)).toUtf8();
                if (c->value.type == ValueType::Text)
                    worksheet_write_formula_str(ws, r, col, text.constData(), f, c->value.text.toUtf8().constData());
                else if (c->value.type == ValueType::Error)
                    worksheet_write_formula_str(ws, r, col, text.constData(), f, errorText(c->value.error).toUtf8().constData());
                else
                    worksheet_write_formula_num(ws, r, col, text.constData(), f, c->value.number);
                continue;
            }
            switch (c->value.type) {
            case ValueType::Number: worksheet_write_number(ws, r, col, c->value.number, f); break;
            case ValueType::Text: worksheet_write_string(ws, r, col, c->value.text.toUtf8().constData(), f); break;
            case ValueType::Bool: worksheet_write_boolean(ws, r, col, c->value.number != 0, f); break;
            case ValueType::Error:
                worksheet_write_formula_str(ws, r, col, ("=" + errorText(c->value.error)).toUtf8().constData(), f,
                                            errorText(c->value.error).toUtf8().constData());
                break;
            case ValueType::Empty:
                if (f)
                    worksheet_write_blank(ws, r, col, f);
                break;
            }
        }
    }
    // The template's own names (marks are written afresh below).
    static const QRegularExpression markName(QStringLiteral("^mark\\d+(_.*)?$"), QRegularExpression::CaseInsensitiveOption);
    for (const Workbook::DefinedName &d : book.definedNames()) {
        if (markName.match(d.name).hasMatch())
            continue;
        QString name = d.name;
        if (const Sheet *local = book.sheet(d.localSheet))
            name = quotedSheet(local->name) + QLatin1Char('!') + name;
        QString ref = d.reference.trimmed();
        if (!ref.startsWith(QLatin1Char('=')))
            ref.prepend(QLatin1Char('='));
        workbook_define_name(wb, name.toUtf8().constData(), ref.toUtf8().constData());
    }
    // Defined names hold at most 255 characters: split long mark lists into numbered names.
    for (auto it = marks.begin(); it != marks.end(); ++it) {
        int part = 1;
        QString acc;
        auto flush = [&] {
            if (acc.isEmpty())
                return;
            const QByteArray name = QStringLiteral("Mark%1_%2").arg(it.key()).arg(part++).toUtf8();
            workbook_define_name(wb, name.constData(), (QLatin1Char('=') + acc).toUtf8().constData());
            acc.clear();
        };
        for (const QString &ref : it.value()) {
            if (acc.size() + ref.size() + 2 > 250)
                flush();
            acc += (acc.isEmpty() ? QString() : QStringLiteral(",")) + ref;
        }
        flush();
    }
    const lxw_error rc = workbook_close(wb);
    if (rc != LXW_NO_ERROR) {
        *error = QStringLiteral("写入 Excel 文件失败：%1").arg(QString::fromUtf8(lxw_strerror(rc)));
        return false;
    }
    return true;
}

} // namespace lw
