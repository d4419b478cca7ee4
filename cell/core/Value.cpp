// SPDX-License-Identifier: GPL-3.0-or-later
#include "Value.h"

#include "NumberFormat.h"

#include <QStringList>

#include <cmath>
#include <cstdio>

namespace lw {

namespace {
const char *const kErrorNames[] = {"", "#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A"};

// Days from 1899-12-30 (serial 0 of the corrected calendar) to y-m-d, proleptic Gregorian.
long long daysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + (long long)doe - 719468; // days since 1970-01-01
}
const long long kEpoch1899 = daysFromCivil(1899, 12, 30);
} // namespace

QString errorText(CellError e)
{
    return QLatin1String(kErrorNames[int(e)]);
}

CellError errorFromText(const QString &text)
{
    for (int i = 1; i <= int(CellError::NA); ++i)
        if (text.compare(QLatin1String(kErrorNames[i]), Qt::CaseInsensitive) == 0)
            return CellError(i);
    return CellError::None;
}

QString formatGeneralNumber(double value)
{
    // The program's general number format, with the spreadsheet's error for what is no number.
    return std::isfinite(value) ? FormatCellGeneral(value) : QStringLiteral("#NUM!");
}

QString valueToText(const Value &v)
{
    switch (v.type) {
    case ValueType::Empty: return QString();
    case ValueType::Number: return formatGeneralNumber(v.number);
    case ValueType::Text: return v.text;
    case ValueType::Bool: return v.number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case ValueType::Error: return errorText(v.error);
    }
    return QString();
}

bool parseNumericText(const QString &text, double *out)
{
    QString s = text.trimmed();
    if (s.isEmpty())
        return false;
    // Dates as the templates and users write them.
    for (QChar sep : {QLatin1Char('-'), QLatin1Char('/')}) {
        const QStringList parts = s.split(sep);
        if (parts.size() == 3 && parts[0].size() == 4) {
            bool a, b, c;
            const int y = parts[0].toInt(&a), m = parts[1].toInt(&b), d = parts[2].toInt(&c);
            if (a && b && c && m >= 1 && m <= 12 && d >= 1 && d <= 31 && y >= 1900 && y <= 9999) {
                *out = dateSerial(y, m, d);
                return true;
            }
        }
    }
    // A currency sign before the digits, as VALUE("$12") and VALUE("￥12") read them.
    for (int i = 0; i < s.size() && i < 2; ++i) {
        const QChar c = s[i];
        if (c == QLatin1Char('$') || c == QChar(0x00A5) || c == QChar(0xFFE5)) {
            s.remove(i, 1);
            break;
        }
        if (c != QLatin1Char('-') && c != QLatin1Char('+'))
            break;
    }
    double scale = 1;
    if (s.endsWith(QLatin1Char('%'))) {
        s.chop(1);
        s = s.trimmed();
        scale = 0.01;
    }
    if (s.contains(QLatin1Char(','))) {
        // Thousands separators belong only in the integer part.
        const int dot = s.indexOf(QLatin1Char('.'));
        if (dot >= 0 && s.indexOf(QLatin1Char(','), dot) >= 0)
            return false;
        s.remove(QLatin1Char(','));
    }
    if (s.isEmpty())
        return false;
    for (QChar c : s) {
        const ushort u = c.unicode();
        if (!((u >= '0' && u <= '9') || u == '.' || u == '-' || u == '+' || u == 'e' || u == 'E'))
            return false;
    }
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    *out = v * scale;
    return true;
}

double dateSerial(int year, int month, int day)
{
    // Excel adds 1900 to years below 1900 and rolls months and days over.
    if (year < 1900)
        year += 1900;
    long long y = year + (month - 1) / 12;
    int m = (month - 1) % 12;
    if (m < 0) {
        m += 12;
        --y;
    }
    const long long days = daysFromCivil(y, unsigned(m + 1), 1) - kEpoch1899 + (day - 1);
    // Serials up to 60 count the phantom 1900-02-29.
    return double(days < 61 ? days - 1 : days);
}

void serialToDate(double serial, int *year, int *month, int *day)
{
    long long s = (long long)std::floor(serial);
    if (s == 0) { // Excel's day zero is 1900-01-00
        *year = 1900; *month = 1; *day = 0;
        return;
    }
    if (s == 60) {
        *year = 1900; *month = 2; *day = 29;
        return;
    }
    if (s < 61)
        s += 1;
    long long z = s + kEpoch1899 + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long y = (long long)yoe + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    *year = int(y + (m <= 2));
    *month = int(m);
    *day = int(d);
}

} // namespace lw
