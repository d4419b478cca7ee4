// SPDX-License-Identifier: GPL-3.0-or-later
#include "FormBook.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <set>
#include <stdexcept>
#include <tuple>

namespace {

const char *const kFont = "宋体";
const char *const kAmountFormat = "#,##0.00";

std::string columnLetters(int col)
{
    std::string s;
    while (col > 0) {
        const int d = (col - 1) % 26;
        s.insert(s.begin(), char('A' + d));
        col = (col - 1) / 26;
    }
    return s;
}

void check(lxw_error e, const char *what)
{
    if (e != LXW_NO_ERROR)
        throw std::runtime_error(std::string(what) + ": " + lxw_strerror(e));
}

} // namespace

// --- FormSheet ------------------------------------------------------------------------------

FormSheet::FormSheet(FormBook &book, lxw_worksheet *ws, int index, std::string name)
    : m_book(book), m_ws(ws), m_index(index), m_name(std::move(name))
{
    worksheet_set_paper(m_ws, 9); // A4
    worksheet_center_horizontally(m_ws);
    worksheet_set_margins(m_ws, 0.4, 0.4, 0.6, 0.6);
}

void FormSheet::widths(const std::vector<double> &fromColumnA)
{
    for (size_t i = 0; i < fromColumnA.size(); ++i)
        worksheet_set_column(m_ws, lxw_col_t(i), lxw_col_t(i), fromColumnA[i], nullptr);
}

void FormSheet::height(int row, double points)
{
    worksheet_set_row(m_ws, lxw_row_t(row - 1), points, nullptr);
}

void FormSheet::landscape(int pagesWide)
{
    worksheet_set_landscape(m_ws);
    worksheet_fit_to_pages(m_ws, uint16_t(pagesWide), 0);
}

void FormSheet::titleRows(int rows)
{
    check(worksheet_repeat_rows(m_ws, 0, lxw_row_t(rows - 1)), "repeat rows");
}

void FormSheet::label(int col, int row, const std::string &text, Style s)
{
    check(worksheet_write_string(m_ws, lxw_row_t(row - 1), lxw_col_t(col - 1), text.c_str(), m_book.format(s)),
          "label");
}

void FormSheet::merge(int c1, int r1, int c2, int r2, const std::string &text, Style s)
{
    if (c1 == c2 && r1 == r2)
        return label(c1, r1, text, s);
    check(worksheet_merge_range(m_ws, lxw_row_t(r1 - 1), lxw_col_t(c1 - 1), lxw_row_t(r2 - 1), lxw_col_t(c2 - 1),
                                text.c_str(), m_book.format(s)),
          "merge");
}

void FormSheet::blank(int col, int row, Style s)
{
    check(worksheet_write_blank(m_ws, lxw_row_t(row - 1), lxw_col_t(col - 1), m_book.format(s)), "blank");
}

void FormSheet::blankMerge(int c1, int r1, int c2, int r2, Style s)
{
    if (c1 == c2 && r1 == r2)
        return blank(c1, r1, s);
    merge(c1, r1, c2, r2, "", s);
}

void FormSheet::value(int col, int row, Style s, int type, const std::string &field)
{
    blank(col, row, s);
    if (type)
        m_book.addMapRow(col, row, m_index, type, field);
}

void FormSheet::valueMerge(int c1, int r1, int c2, int r2, Style s, int type)
{
    blankMerge(c1, r1, c2, r2, s);
    if (type)
        m_book.addMapRow(c1, r1, m_index, type, {});
}

void FormSheet::zero(int col, int row, Style s, int type)
{
    check(worksheet_write_number(m_ws, lxw_row_t(row - 1), lxw_col_t(col - 1), 0, m_book.format(s)), "number");
    if (type)
        m_book.addMapRow(col, row, m_index, type, {});
}

void FormSheet::formula(int col, int row, const std::string &f, Style s, int type)
{
    const std::string text = "=" + f;
    check(worksheet_write_formula(m_ws, lxw_row_t(row - 1), lxw_col_t(col - 1), text.c_str(), m_book.format(s)),
          "formula");
    if (type)
        m_book.addMapRow(col, row, m_index, type, {});
}

std::string FormSheet::column(int col)
{
    return columnLetters(col);
}

std::string FormSheet::ref(int col, int row)
{
    return columnLetters(col) + std::to_string(row);
}

std::string FormSheet::absRef(int col, int row)
{
    return "$" + columnLetters(col) + "$" + std::to_string(row);
}

std::string FormSheet::qualified(int col, int row) const
{
    return "'" + m_name + "'!" + absRef(col, row);
}

void FormSheet::protect()
{
    lxw_protection options{};
    worksheet_protect(m_ws, nullptr, &options);
}

// --- FormBook -------------------------------------------------------------------------------

FormBook::FormBook(const std::string &path, std::string mapTable)
    : m_path(path), m_table(std::move(mapTable))
{
    m_wb = workbook_new(path.c_str());
    if (!m_wb)
        throw std::runtime_error("cannot create " + path);

    // Fixed metadata keeps regenerated templates comparable.
    static lxw_doc_properties props{};
    props.author = const_cast<char *>("Ledgerwell");
    props.company = const_cast<char *>("Ledgerwell");
    props.created = 1420070400; // 2015-01-01, the forms' edition
    workbook_set_properties(m_wb, &props);

    auto make = [this](Style s) {
        lxw_format *f = workbook_add_format(m_wb);
        format_set_font_name(f, kFont);
        format_set_font_size(f, 10);
        format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
        m_formats[s] = f;
        return f;
    };
    auto bordered = [&](Style s) {
        lxw_format *f = make(s);
        format_set_border(f, LXW_BORDER_THIN);
        return f;
    };

    lxw_format *f = make(Style::Title);
    format_set_font_size(f, 16);
    format_set_bold(f);
    format_set_align(f, LXW_ALIGN_CENTER);

    f = make(Style::Subtitle);
    format_set_align(f, LXW_ALIGN_CENTER);

    f = make(Style::Unit);
    format_set_align(f, LXW_ALIGN_RIGHT);

    f = bordered(Style::Label);
    format_set_text_wrap(f);

    f = bordered(Style::LabelCenter);
    format_set_text_wrap(f);
    format_set_align(f, LXW_ALIGN_CENTER);

    f = bordered(Style::Head);
    format_set_text_wrap(f);
    format_set_bold(f);
    format_set_align(f, LXW_ALIGN_CENTER);

    f = bordered(Style::LineNo);
    format_set_align(f, LXW_ALIGN_CENTER);

    f = bordered(Style::Text);
    format_set_num_format(f, "@");
    format_set_shrink(f);

    f = bordered(Style::TextInput);
    format_set_num_format(f, "@");
    format_set_unlocked(f);

    f = bordered(Style::Amount);
    format_set_num_format(f, kAmountFormat);

    f = bordered(Style::AmountInput);
    format_set_num_format(f, kAmountFormat);
    format_set_unlocked(f);

    f = bordered(Style::Ratio);
    format_set_num_format(f, "0.00");

    f = bordered(Style::RatioInput);
    format_set_num_format(f, "0.00");
    format_set_unlocked(f);

    f = bordered(Style::Percent);
    format_set_num_format(f, "0%");
    format_set_align(f, LXW_ALIGN_CENTER);

    f = bordered(Style::Share);
    format_set_num_format(f, "0.00%");

    f = bordered(Style::Count);
    format_set_num_format(f, "0");
    format_set_align(f, LXW_ALIGN_CENTER);

    f = bordered(Style::CountInput);
    format_set_num_format(f, "0");
    format_set_align(f, LXW_ALIGN_CENTER);
    format_set_unlocked(f);

    f = bordered(Style::Code);
    format_set_num_format(f, "0");
    format_set_align(f, LXW_ALIGN_CENTER);

    f = bordered(Style::Year);
    format_set_num_format(f, "0");
    format_set_align(f, LXW_ALIGN_CENTER);

    f = bordered(Style::NotApplicable);
    format_set_bg_color(f, 0xD9D9D9);
    format_set_align(f, LXW_ALIGN_CENTER);

    f = make(Style::Note);
    format_set_text_wrap(f);
    format_set_align(f, LXW_ALIGN_LEFT);

    f = bordered(Style::FinePercent);
    format_set_num_format(f, "0.00%");
    format_set_align(f, LXW_ALIGN_CENTER);

    f = make(Style::Small);
    format_set_font_size(f, 6);
    format_set_font_color(f, 0x808080);
    format_set_num_format(f, "@");
}

FormBook::~FormBook()
{
    if (m_wb)
        workbook_close(m_wb);
}

FormSheet &FormBook::addSheet(const std::string &name)
{
    lxw_worksheet *ws = workbook_add_worksheet(m_wb, name.c_str());
    if (!ws)
        throw std::runtime_error("cannot add sheet " + name);
    m_sheets.push_back(std::make_unique<FormSheet>(*this, ws, int(m_sheets.size()), name));
    return *m_sheets.back();
}

void FormBook::defineName(const std::string &name, const std::string &formula)
{
    check(workbook_define_name(m_wb, name.c_str(), formula.c_str()), "defined name");
}

void FormBook::addMapRow(int col, int row, int sheet, int type, const std::string &field)
{
    for (const MapRow &r : m_rows)
        if (r.col == col && r.row == row && r.sheet == sheet)
            throw std::runtime_error("two mapping rows for one cell in " + m_path);
    m_rows.push_back({col, row, sheet, type, field});
}

bool FormBook::finish(const std::string &tsvDir)
{
    for (auto &s : m_sheets)
        s->protect();
    const lxw_error e = workbook_close(m_wb);
    m_wb = nullptr;
    if (e != LXW_NO_ERROR) {
        std::fprintf(stderr, "mktemplates: %s: %s\n", m_path.c_str(), lxw_strerror(e));
        return false;
    }
    if (m_table.empty())
        return true;
    // Sheet, row, column order: the order in which the working rows are read back.
    std::vector<MapRow> rows = m_rows;
    std::stable_sort(rows.begin(), rows.end(), [](const MapRow &a, const MapRow &b) {
        return std::tie(a.sheet, a.row, a.col) < std::tie(b.sheet, b.row, b.col);
    });
    const std::string path = tsvDir + "/" + m_table + ".tsv";
    std::ofstream out(path, std::ios::binary);
    out << "col\trow\tsheet\ttype\tsField\n";
    for (const MapRow &r : rows)
        out << r.col << '\t' << r.row << '\t' << r.sheet << '\t' << r.type << '\t' << r.field << '\n';
    if (!out) {
        std::fprintf(stderr, "mktemplates: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}
