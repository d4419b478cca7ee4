// SPDX-License-Identifier: GPL-3.0-or-later
// The value a cell holds or a formula produces.
#pragma once

#include <QString>

#include <cstdint>

namespace lw {

// Longest text a cell holds, as in Excel; longer results are #VALUE!.
constexpr int MaxTextLength = 32767;

enum class ValueType : std::uint8_t { Empty, Number, Text, Bool, Error };

// Excel's error values; Circular is shown as #REF!, the value a cycle's cells take.
enum class CellError : std::uint8_t { None, Null, Div0, Value, Ref, Name, Num, NA };

struct Value
{
    ValueType type = ValueType::Empty;
    CellError error = CellError::None;
    double number = 0; // also the boolean, 0 or 1
    QString text;

    static Value fromNumber(double n) { Value v; v.type = ValueType::Number; v.number = n; return v; }
    static Value fromText(const QString &s) { Value v; v.type = ValueType::Text; v.text = s; return v; }
    static Value fromBool(bool b) { Value v; v.type = ValueType::Bool; v.number = b ? 1 : 0; return v; }
    static Value fromError(CellError e) { Value v; v.type = ValueType::Error; v.error = e; return v; }

    bool isEmpty() const { return type == ValueType::Empty; }
    bool isError() const { return type == ValueType::Error; }
    bool operator==(const Value &o) const
    {
        return type == o.type && error == o.error && number == o.number && text == o.text;
    }
};

QString errorText(CellError e);
// "#DIV/0!" -> Div0; None for anything else.
CellError errorFromText(const QString &text);

// Up to 15 significant digits, no trailing zeros, '.' as the point: how numbers become text.
QString formatGeneralNumber(double value);
// The text a value converts to in a text context (TRUE/FALSE for booleans).
QString valueToText(const Value &v);
// Numeric text as Excel reads it: surrounding spaces, thousands separators, a trailing percent
// sign, dates written yyyy-mm-dd or yyyy/m/d. False when the text is no number.
bool parseNumericText(const QString &text, double *out);

// Excel's 1900 date system (with its phantom 29 February 1900).
double dateSerial(int year, int month, int day);
void serialToDate(double serial, int *year, int *month, int *day);

} // namespace lw
