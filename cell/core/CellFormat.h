// SPDX-License-Identifier: GPL-3.0-or-later
// Excel number format codes ("#,##0.00", "0.00%", "yyyy-mm-dd", sections for negatives and
// text), compiled once and applied to values for the text a cell shows.
#pragma once

#include "Value.h"

#include <QString>
#include <vector>

namespace lw {

class CellFormat
{
public:
    explicit CellFormat(const QString &code = QStringLiteral("General"));

    QString format(const Value &v) const;
    const QString &code() const { return m_code; }
    bool isDate() const;
    // A format that shows numbers (placeholders or a date), as opposed to General or text "@".
    bool isNumeric() const;

    // Number formats that xlsx files reference by id without writing them out.
    static QString builtin(int id);

private:
    struct Item
    {
        enum Kind { Literal, Number, Text, Year2, Year4, Month, Month2, MonthName, MonthFull, Day, Day2,
                    DayName, DayFull, Hour, Hour2, Minute, Minute2, Second, Second2, AmPm } kind;
        QString text;
    };
    struct Section
    {
        std::vector<Item> items;
        bool general = false;
        bool hasNumber = false;
        bool date = false;
        bool hour12 = false;
        int intMin = 0;      // '0' placeholders before the point
        int decimals = 0;    // placeholders after the point
        int decMin = 0;      // '0' among them
        bool grouping = false;
        bool exponent = false;
        int expDigits = 2;
        double scale = 1;    // percent and trailing commas
    };

    static Section parseSection(const QString &s);
    QString formatNumber(const Section &sec, double v, bool addMinus) const;
    static QString formatDate(const Section &sec, double serial);

    QString m_code;
    std::vector<Section> m_sections;
};

} // namespace lw
