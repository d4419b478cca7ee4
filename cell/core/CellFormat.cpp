// SPDX-License-Identifier: GPL-3.0-or-later
#include "CellFormat.h"
#include "Functions.h"

#include <cmath>
#include <cstdio>

namespace lw {

namespace {
QStringList splitSections(const QString &code)
{
    QStringList out;
    QString cur;
    bool quoted = false;
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('\\') && i + 1 < code.size()) {
            cur += c;
            cur += code[++i];
            continue;
        }
        if (!quoted && c == QLatin1Char(';')) {
            out << cur;
            cur.clear();
            continue;
        }
        cur += c;
    }
    out << cur;
    return out;
}

QString groupThousands(const QString &digits)
{
    QString out;
    const int n = digits.size();
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char(',');
        out += digits[i];
    }
    return out;
}
} // namespace

QString CellFormat::builtin(int id)
{
    switch (id) {
    case 0: return QStringLiteral("General");
    case 1: return QStringLiteral("0");
    case 2: return QStringLiteral("0.00");
    case 3: return QStringLiteral("#,##0");
    case 4: return QStringLiteral("#,##0.00");
    case 9: return QStringLiteral("0%");
    case 10: return QStringLiteral("0.00%");
    case 11: return QStringLiteral("0.00E+00");
    case 12: return QStringLiteral("# ?/?");
    case 13: return QStringLiteral("# ?\?/??");
    case 14: return QStringLiteral("yyyy/m/d");
    case 15: return QStringLiteral("d-mmm-yy");
    case 16: return QStringLiteral("d-mmm");
    case 17: return QStringLiteral("mmm-yy");
    case 18: return QStringLiteral("h:mm AM/PM");
    case 19: return QStringLiteral("h:mm:ss AM/PM");
    case 20: return QStringLiteral("h:mm");
    case 21: return QStringLiteral("h:mm:ss");
    case 22: return QStringLiteral("yyyy/m/d h:mm");
    case 37: return QStringLiteral("#,##0 ;(#,##0)");
    case 38: return QStringLiteral("#,##0 ;[Red](#,##0)");
    case 39: return QStringLiteral("#,##0.00;(#,##0.00)");
    case 40: return QStringLiteral("#,##0.00;[Red](#,##0.00)");
    case 41: return QStringLiteral("_(* #,##0_);_(* \\(#,##0\\);_(* \"-\"_);_(@_)");
    case 42: return QStringLiteral("_(\"$\"* #,##0_);_(\"$\"* \\(#,##0\\);_(\"$\"* \"-\"_);_(@_)");
    case 43: return QStringLiteral("_(* #,##0.00_);_(* \\(#,##0.00\\);_(* \"-\"??_);_(@_)");
    case 44: return QStringLiteral("_(\"$\"* #,##0.00_);_(\"$\"* \\(#,##0.00\\);_(\"$\"* \"-\"??_);_(@_)");
    case 45: return QStringLiteral("mm:ss");
    case 46: return QStringLiteral("[h]:mm:ss");
    case 47: return QStringLiteral("mmss.0");
    case 48: return QStringLiteral("##0.0E+0");
    case 49: return QStringLiteral("@");
    case 55: return QStringLiteral("yyyy\"年\"m\"月\"");
    case 56: return QStringLiteral("m\"月\"d\"日\"");
    case 57: return QStringLiteral("yyyy\"年\"m\"月\"");
    case 58: return QStringLiteral("m\"月\"d\"日\"");
    default: return QStringLiteral("General");
    }
}

CellFormat::CellFormat(const QString &code) : m_code(code)
{
    for (const QString &s : splitSections(code.left(1024)).mid(0, 4))
        m_sections.push_back(parseSection(s));
}

bool CellFormat::isDate() const
{
    return !m_sections.empty() && m_sections.front().date;
}

bool CellFormat::isNumeric() const
{
    return !m_sections.empty() && (m_sections.front().hasNumber || m_sections.front().date);
}

CellFormat::Section CellFormat::parseSection(const QString &s)
{
    Section sec;
    if (s.trimmed().compare(QLatin1String("General"), Qt::CaseInsensitive) == 0 || s.trimmed().isEmpty()) {
        sec.general = true;
        return sec;
    }
    auto literal = [&](const QString &t) {
        if (!sec.items.empty() && sec.items.back().kind == Item::Literal)
            sec.items.back().text += t;
        else
            sec.items.push_back({Item::Literal, t});
    };
    bool afterHour = false;
    for (int i = 0; i < s.size();) {
        const QChar c = s[i];
        const ushort u = c.unicode();
        const ushort lu = (u >= 'A' && u <= 'Z') ? ushort(u + 32) : u;
        if (u == '"') {
            const int end = s.indexOf(QLatin1Char('"'), i + 1);
            literal(s.mid(i + 1, end < 0 ? -1 : end - i - 1));
            i = end < 0 ? s.size() : end + 1;
        } else if (u == '\\' && i + 1 < s.size()) {
            literal(QString(s[i + 1]));
            i += 2;
        } else if (u == '_' && i + 1 < s.size()) {
            literal(QStringLiteral(" "));
            i += 2;
        } else if (u == '*' && i + 1 < s.size()) {
            i += 2;
        } else if (u == '[') {
            const int end = s.indexOf(QLatin1Char(']'), i);
            const QString inner = s.mid(i + 1, end < 0 ? -1 : end - i - 1);
            if (inner.compare(QLatin1String("h"), Qt::CaseInsensitive) == 0 || inner.compare(QLatin1String("hh"), Qt::CaseInsensitive) == 0) {
                sec.items.push_back({Item::Hour, QString()});
                sec.date = true;
            }
            i = end < 0 ? s.size() : end + 1;
        } else if (u == '@') {
            sec.items.push_back({Item::Text, QString()});
            ++i;
        } else if (!sec.hasNumber && !sec.date && (u == '0' || u == '#' || u == '?' || (u == '.' && i + 1 < s.size() && (s[i + 1] == QLatin1Char('0') || s[i + 1] == QLatin1Char('#'))))) {
            sec.hasNumber = true;
            sec.items.push_back({Item::Number, QString()});
            bool point = false;
            int j = i;
            for (; j < s.size(); ++j) {
                const ushort d = s[j].unicode();
                if (d == '0' || d == '#' || d == '?') {
                    if (point) {
                        ++sec.decimals;
                        if (d == '0') ++sec.decMin;
                    } else if (d == '0') {
                        ++sec.intMin;
                    }
                } else if (d == '.' && !point) {
                    point = true;
                } else if (d == ',') {
                    // A comma between digits groups; trailing commas scale by a thousand.
                    if (j + 1 < s.size() && (s[j + 1] == QLatin1Char('0') || s[j + 1] == QLatin1Char('#') || s[j + 1] == QLatin1Char('?')))
                        sec.grouping = true;
                    else
                        sec.scale /= 1000;
                } else if ((d == 'E' || d == 'e') && j + 1 < s.size() && (s[j + 1] == QLatin1Char('+') || s[j + 1] == QLatin1Char('-'))) {
                    sec.exponent = true;
                    int k = j + 2, n = 0;
                    while (k < s.size() && s[k] == QLatin1Char('0')) { ++k; ++n; }
                    sec.expDigits = n ? n : 1;
                    j = k - 1;
                } else {
                    break;
                }
            }
            i = j;
        } else if (u == '%') {
            sec.scale *= 100;
            literal(QStringLiteral("%"));
            ++i;
        } else if (lu == 'y' || lu == 'm' || lu == 'd' || lu == 'h' || lu == 's') {
            int j = i;
            while (j < s.size() && s[j].toLower() == QChar(lu))
                ++j;
            const int n = j - i;
            sec.date = true;
            Item::Kind k = Item::Literal;
            if (lu == 'y') {
                k = n <= 2 ? Item::Year2 : Item::Year4;
            } else if (lu == 'd') {
                k = n == 1 ? Item::Day : n == 2 ? Item::Day2 : n == 3 ? Item::DayName : Item::DayFull;
            } else if (lu == 'h') {
                k = n == 1 ? Item::Hour : Item::Hour2;
                afterHour = true;
            } else if (lu == 's') {
                k = n == 1 ? Item::Second : Item::Second2;
                // "mm" just before seconds are minutes
                for (auto it = sec.items.rbegin(); it != sec.items.rend(); ++it) {
                    if (it->kind == Item::Month) { it->kind = Item::Minute; break; }
                    if (it->kind == Item::Month2) { it->kind = Item::Minute2; break; }
                    if (it->kind != Item::Literal) break;
                }
            } else {
                if (afterHour && n <= 2)
                    k = n == 1 ? Item::Minute : Item::Minute2;
                else
                    k = n == 1 ? Item::Month : n == 2 ? Item::Month2 : n == 3 ? Item::MonthName : Item::MonthFull;
                afterHour = false;
            }
            sec.items.push_back({k, QString()});
            i = j;
        } else if (s.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            sec.items.push_back({Item::AmPm, QString()});
            sec.hour12 = true;
            sec.date = true;
            i += 5;
        } else {
            literal(QString(c));
            ++i;
        }
    }
    return sec;
}

QString CellFormat::formatNumber(const Section &sec, double v, bool addMinus) const
{
    if (sec.general)
        return formatGeneralNumber(addMinus ? v : std::fabs(v));
    if (sec.date)
        return formatDate(sec, v);
    double x = std::fabs(v) * sec.scale;
    QString num;
    if (sec.hasNumber) {
        if (sec.exponent) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.*E", sec.decimals, x);
            QString t = QString::fromLatin1(buf);
            const int e = t.indexOf(QLatin1Char('E'));
            const int ex = t.mid(e + 1).toInt();
            num = t.left(e) + QStringLiteral("E") + (ex < 0 ? QStringLiteral("-") : QStringLiteral("+"))
                + QString::number(std::abs(ex)).rightJustified(sec.expDigits, QLatin1Char('0'));
        } else {
            x = roundDecimal(x, sec.decimals);
            char buf[400];
            std::snprintf(buf, sizeof buf, "%.*f", sec.decimals, x);
            QString t = QString::fromLatin1(buf);
            QString ip = t, fp;
            const int dot = t.indexOf(QLatin1Char('.'));
            if (dot >= 0) {
                ip = t.left(dot);
                fp = t.mid(dot + 1);
            }
            while (fp.size() > sec.decMin && fp.endsWith(QLatin1Char('0')))
                fp.chop(1);
            if (ip == QLatin1String("0") && sec.intMin == 0)
                ip.clear();
            while (ip.size() < sec.intMin)
                ip.prepend(QLatin1Char('0'));
            if (sec.grouping)
                ip = groupThousands(ip);
            num = ip;
            if (sec.decimals > 0)
                num += QLatin1Char('.') + fp; // "0.##" keeps its point: Excel shows "1."
        }
        if (x == 0)
            addMinus = false;
    }
    QString out;
    if (addMinus && v < 0)
        out += QLatin1Char('-');
    for (const Item &it : sec.items) {
        if (it.kind == Item::Literal)
            out += it.text;
        else if (it.kind == Item::Number)
            out += num;
    }
    return out;
}

QString CellFormat::formatDate(const Section &sec, double serial)
{
    if (serial < 0 || serial > 2958466)
        return QStringLiteral("#######");
    int y, m, d;
    serialToDate(serial, &y, &m, &d);
    double frac = serial - std::floor(serial);
    long secs = long(std::lround(frac * 86400));
    if (secs >= 86400)
        secs = 86399;
    int hh = int(secs / 3600), mi = int(secs / 60 % 60), ss = int(secs % 60);
    static const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    static const char *const monthsFull[] = {"January", "February", "March", "April", "May", "June", "July",
                                             "August", "September", "October", "November", "December"};
    static const char *const days[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    const int wd = int((long long)std::floor(serial) % 7 + 6) % 7; // serial 1 was a Sunday
    QString out;
    auto two = [](int n) { return QString::number(n).rightJustified(2, QLatin1Char('0')); };
    for (const Item &it : sec.items) {
        switch (it.kind) {
        case Item::Literal: out += it.text; break;
        case Item::Year2: out += two(y % 100); break;
        case Item::Year4: out += QString::number(y); break;
        case Item::Month: out += QString::number(m); break;
        case Item::Month2: out += two(m); break;
        case Item::MonthName: out += QLatin1String(months[m - 1]); break;
        case Item::MonthFull: out += QLatin1String(monthsFull[m - 1]); break;
        case Item::Day: out += QString::number(d); break;
        case Item::Day2: out += two(d); break;
        case Item::DayName: out += QLatin1String(days[wd]).left(3); break;
        case Item::DayFull: out += QLatin1String(days[wd]); break;
        case Item::Hour: out += QString::number(sec.hour12 ? (hh % 12 == 0 ? 12 : hh % 12) : hh); break;
        case Item::Hour2: out += two(sec.hour12 ? (hh % 12 == 0 ? 12 : hh % 12) : hh); break;
        case Item::Minute: out += QString::number(mi); break;
        case Item::Minute2: out += two(mi); break;
        case Item::Second: out += QString::number(ss); break;
        case Item::Second2: out += two(ss); break;
        case Item::AmPm: out += hh < 12 ? QStringLiteral("AM") : QStringLiteral("PM"); break;
        default: break;
        }
    }
    return out;
}

QString CellFormat::format(const Value &v) const
{
    if (v.isEmpty())
        return QString();
    if (v.type == ValueType::Error)
        return errorText(v.error);
    if (v.type == ValueType::Bool)
        return v.number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    if (v.type == ValueType::Text) {
        // The fourth section (or a lone text section) places the text.
        const Section *sec = nullptr;
        if (m_sections.size() == 4)
            sec = &m_sections[3];
        else if (m_sections.size() == 1 && !m_sections[0].hasNumber && !m_sections[0].date)
            sec = &m_sections[0];
        if (!sec || sec->general)
            return v.text;
        QString out;
        bool placed = false;
        for (const Item &it : sec->items) {
            if (it.kind == Item::Literal)
                out += it.text;
            else if (it.kind == Item::Text) {
                out += v.text;
                placed = true;
            }
        }
        return placed ? out : v.text;
    }
    const double x = v.number;
    if (m_sections.empty())
        return formatGeneralNumber(x);
    const size_t n = m_sections.size();
    if (n >= 3 && x == 0)
        return formatNumber(m_sections[2], x, false);
    if (n >= 2 && x < 0)
        return formatNumber(m_sections[1], x, false);
    const Section &s = m_sections[0];
    if (!s.hasNumber && !s.date && !s.general) {
        // A section without placeholders shows its literals only, or the number for "@".
        QString out;
        for (const Item &it : s.items)
            out += it.kind == Item::Literal ? it.text : it.kind == Item::Text ? formatGeneralNumber(x) : QString();
        return out;
    }
    return formatNumber(s, x, true);
}

} // namespace lw
