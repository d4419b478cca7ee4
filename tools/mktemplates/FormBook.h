// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <xlsxwriter.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

// A declaration template under construction: the workbook, its cell styles and the mapping rows
// (one per stored cell) that go with it. Coordinates are the forms' own: col 1 = A, row 1 = 1.

enum class Style {
    Title,       // form title
    Subtitle,    // line under the title
    Unit,        // 金额单位 … (right-aligned, no border)
    Label,       // bordered caption, left
    LabelCenter, // bordered caption, centred
    Head,        // bold column heading
    LineNo,      // 行次 / 列次
    Text,        // text filled by the program (locked)
    TextInput,   // text typed by the user
    Amount,      // computed amount
    AmountInput, // amount typed by the user
    Ratio,       // percentage figure as a number (60 = 60 %), filled by the program
    RatioInput,  // percentage figure typed by the user
    Percent,     // computed rate, a fraction shown in percent
    Share,       // computed share, a fraction shown in percent with two decimals
    FinePercent, // rate given to hundredths of a percent (应税所得率 7.5 → 7.50%)
    Count,       // computed whole number
    CountInput,  // whole number typed by the user
    Code,        // collection code written by the program
    Year,        // year, filled or computed
    NotApplicable, // shaded, locked, empty
    Note,        // free text without border
    Small,       // small grey key cell out of the way
};

struct MapRow {
    int col, row, sheet, type;
    std::string field;
};

class FormBook;

class FormSheet {
public:
    FormSheet(FormBook &book, lxw_worksheet *ws, int index, std::string name);

    int index() const { return m_index; }
    const std::string &name() const { return m_name; }
    lxw_worksheet *raw() { return m_ws; }

    void widths(const std::vector<double> &fromColumnA);
    void height(int row, double points);
    void landscape(int pagesWide = 1);
    // The heading rows above a list, printed again at the top of every page.
    void titleRows(int rows);

    void label(int col, int row, const std::string &text, Style s = Style::Label);
    void merge(int c1, int r1, int c2, int r2, const std::string &text, Style s = Style::Label);
    void blank(int col, int row, Style s);
    void blankMerge(int c1, int r1, int c2, int r2, Style s);

    // Stored cells: each adds its mapping row (type 0 = no mapping row).
    void value(int col, int row, Style s, int type, const std::string &field = {});
    void valueMerge(int c1, int r1, int c2, int r2, Style s, int type);
    void zero(int col, int row, Style s, int type);
    void formula(int col, int row, const std::string &f, Style s, int type = 0);

    static std::string column(int col);                  // D
    static std::string ref(int col, int row);            // D8
    static std::string absRef(int col, int row);         // $D$8
    std::string qualified(int col, int row) const;       // '主表'!$D$8

    void protect();

private:
    FormBook &m_book;
    lxw_worksheet *m_ws;
    int m_index;
    std::string m_name;
};

class FormBook {
public:
    FormBook(const std::string &path, std::string mapTable);
    ~FormBook();
    FormBook(const FormBook &) = delete;
    FormBook &operator=(const FormBook &) = delete;

    FormSheet &addSheet(const std::string &name);
    void defineName(const std::string &name, const std::string &formula);
    lxw_format *format(Style s) const { return m_formats.at(s); }
    void addMapRow(int col, int row, int sheet, int type, const std::string &field);

    // Writes the workbook and, when the form has a mapping table, DIR/<table>.tsv.
    bool finish(const std::string &tsvDir);

private:
    lxw_workbook *m_wb;
    std::string m_path;
    std::string m_table;
    std::map<Style, lxw_format *> m_formats;
    std::vector<std::unique_ptr<FormSheet>> m_sheets;
    std::vector<MapRow> m_rows;
};
