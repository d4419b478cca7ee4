// SPDX-License-Identifier: GPL-3.0-or-later
// styles.xml: number formats, fonts, fills, borders, cell formats and named cell styles.
#include "CellFormat.h"
#include "Workbook.h"
#include "XlsxPackage.h"

#include <QRegularExpression>

namespace lw {

namespace {

struct Font
{
    QString name;
    double size = 11;
    bool bold = false, italic = false, underline = false;
    QColor color;
};

struct Xf
{
    int numFmt = 0, font = 0, fill = 0, border = 0, xfId = -1;
    HAlign h = HAlign::General;
    VAlign v = VAlign::Bottom;
    bool wrap = false;
    int indent = 0;
    bool locked = true, hidden = false;
    bool hasAlignment = false, hasProtection = false;
};

struct Borders
{
    Border left, right, top, bottom;
};

// The legacy palette that "indexed" colours refer to.
const QRgb kIndexed[64] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};

QColor parseColor(SafeXml &x, const std::vector<QColor> &theme)
{
    const QString rgb = x.attr("rgb");
    QColor c;
    if (rgb.size() == 8)
        c = QColor(QLatin1Char('#') + rgb.mid(2));
    else if (rgb.size() == 6)
        c = QColor(QLatin1Char('#') + rgb);
    bool ok = false;
    const int indexed = x.attr("indexed").toInt(&ok);
    if (!c.isValid() && ok && indexed >= 0 && indexed < 64)
        c = QColor(kIndexed[indexed]);
    const int themeIndex = x.attr("theme").toInt(&ok);
    if (!c.isValid() && ok && themeIndex >= 0 && themeIndex < int(theme.size()))
        c = theme[size_t(themeIndex)];
    const double tint = x.attr("tint").toDouble(&ok);
    if (c.isValid() && ok && tint != 0) {
        // Tint moves the lightness toward black or white, as Excel applies it.
        float h, sat, l, a;
        c.getHslF(&h, &sat, &l, &a);
        l = tint < 0 ? float(l * (1 + tint)) : float(l * (1 - tint) + tint);
        c.setHslF(h, sat, qBound(0.0f, l, 1.0f), a);
    }
    return c;
}

bool flag(SafeXml &x, const char *name, bool dflt)
{
    const QString v = x.attr(name);
    if (v.isEmpty())
        return dflt;
    return v != QLatin1String("0") && v.compare(QLatin1String("false"), Qt::CaseInsensitive) != 0;
}

std::uint8_t borderStyle(const QString &s)
{
    if (s.isEmpty() || s == QLatin1String("none")) return 0;
    if (s == QLatin1String("medium") || s == QLatin1String("mediumDashed") || s == QLatin1String("mediumDashDot")) return 2;
    if (s == QLatin1String("thick")) return 3;
    if (s.contains(QLatin1String("ash"))) return 4;
    if (s == QLatin1String("dotted") || s == QLatin1String("hair")) return 5;
    if (s == QLatin1String("double")) return 6;
    return 1;
}

HAlign hAlign(const QString &s)
{
    if (s == QLatin1String("left")) return HAlign::Left;
    if (s == QLatin1String("center") || s == QLatin1String("centerContinuous")) return HAlign::Center;
    if (s == QLatin1String("right")) return HAlign::Right;
    if (s == QLatin1String("fill")) return HAlign::Fill;
    if (s == QLatin1String("justify") || s == QLatin1String("distributed")) return HAlign::Justify;
    return HAlign::General;
}

VAlign vAlign(const QString &s)
{
    if (s == QLatin1String("top")) return VAlign::Top;
    if (s == QLatin1String("center")) return VAlign::Center;
    return VAlign::Bottom;
}

int intAttr(SafeXml &x, const char *name, int dflt)
{
    bool ok = false;
    const int v = x.attr(name).toInt(&ok);
    return ok ? v : dflt;
}

} // namespace

std::vector<QColor> readThemeColors(const QByteArray &data)
{
    // Office's default theme, replaced by the file's own scheme when it has one.
    std::vector<QColor> colors = {QColor(0xFFFFFF), QColor(QRgb(0x000000)), QColor(0xEEECE1), QColor(0x1F497D),
                                  QColor(0x4F81BD), QColor(0xC0504D), QColor(0x9BBB59), QColor(0x8064A2),
                                  QColor(0x4BACC6), QColor(0xF79646), QColor(0x0000FF), QColor(0x800080)};
    if (data.isEmpty())
        return colors;
    // Scheme order is dk1 lt1 dk2 lt2 accent1-6 hlink folHlink; theme indexes swap each dark/light pair.
    static const char *const names[] = {"lt1", "dk1", "lt2", "dk2", "accent1", "accent2", "accent3",
                                        "accent4", "accent5", "accent6", "hlink", "folHlink"};
    SafeXml x(data);
    int current = -1;
    while (x.next() != QXmlStreamReader::Invalid) {
        if (!x.reader().isStartElement())
            continue;
        for (int i = 0; i < 12; ++i)
            if (x.name() == QLatin1String(names[i]))
                current = i;
        if (current >= 0 && (x.name() == QLatin1String("srgbClr") || x.name() == QLatin1String("sysClr"))) {
            const QString v = x.name() == QLatin1String("srgbClr") ? x.attr("val") : x.attr("lastClr");
            const QColor c(QLatin1Char('#') + v);
            if (c.isValid())
                colors[size_t(current)] = c;
            current = -1;
        }
    }
    return colors;
}

bool readStyles(const QByteArray &data, const QByteArray &themeData, Workbook &book, std::vector<int> *xfStyles,
                QString *error)
{
    const std::vector<QColor> theme = readThemeColors(themeData);
    QHash<int, QString> numFmts;
    std::vector<Font> fonts;
    std::vector<QColor> fills;
    std::vector<Borders> borders;
    std::vector<Xf> styleXfs, cellXfs;
    QHash<int, int> markOfStyleXf;
    QHash<int, QString> nameOfStyleXf;

    SafeXml x(data);
    enum { None, InFonts, InFills, InBorders, InStyleXfs, InCellXfs } section = None;
    Borders *border = nullptr;
    Border *side = nullptr;
    Xf *xf = nullptr;
    constexpr size_t MaxEntries = 65536;
    while (x.next() != QXmlStreamReader::Invalid) {
        QXmlStreamReader &r = x.reader();
        if (r.isEndElement()) {
            const QStringView n = r.name();
            if (n == QLatin1String("fonts") || n == QLatin1String("fills") || n == QLatin1String("borders")
                || n == QLatin1String("cellStyleXfs") || n == QLatin1String("cellXfs"))
                section = None;
            if (n == QLatin1String("left") || n == QLatin1String("right") || n == QLatin1String("top") || n == QLatin1String("bottom"))
                side = nullptr;
            continue;
        }
        if (!r.isStartElement())
            continue;
        const QStringView n = r.name();
        if (n == QLatin1String("numFmt")) {
            numFmts.insert(intAttr(x, "numFmtId", 0), x.attr("formatCode"));
        } else if (n == QLatin1String("fonts")) {
            section = InFonts;
        } else if (n == QLatin1String("fills")) {
            section = InFills;
        } else if (n == QLatin1String("borders")) {
            section = InBorders;
        } else if (n == QLatin1String("cellStyleXfs")) {
            section = InStyleXfs;
        } else if (n == QLatin1String("cellXfs")) {
            section = InCellXfs;
        } else if (section == InFonts) {
            if (n == QLatin1String("font")) {
                if (fonts.size() >= MaxEntries)
                    x.fail(QStringLiteral("样式表过大"));
                fonts.emplace_back();
            } else if (!fonts.empty()) {
                Font &f = fonts.back();
                if (n == QLatin1String("b")) f.bold = flag(x, "val", true);
                else if (n == QLatin1String("i")) f.italic = flag(x, "val", true);
                else if (n == QLatin1String("u")) f.underline = x.attr("val") != QLatin1String("none");
                else if (n == QLatin1String("sz")) f.size = qBound(1.0, x.attr("val").toDouble(), 409.0);
                else if (n == QLatin1String("name")) f.name = x.attr("val");
                else if (n == QLatin1String("color")) f.color = parseColor(x, theme);
            }
        } else if (section == InFills) {
            if (n == QLatin1String("fill")) {
                if (fills.size() >= MaxEntries)
                    x.fail(QStringLiteral("样式表过大"));
                fills.emplace_back();
            } else if (n == QLatin1String("patternFill") && !fills.empty()) {
                if (x.attr("patternType").isEmpty() || x.attr("patternType") == QLatin1String("none"))
                    fills.back() = QColor();
                else
                    fills.back() = QColor(Qt::transparent); // set by fgColor
            } else if (n == QLatin1String("fgColor") && !fills.empty() && fills.back() == QColor(Qt::transparent)) {
                fills.back() = parseColor(x, theme);
            }
        } else if (section == InBorders) {
            if (n == QLatin1String("border")) {
                if (borders.size() >= MaxEntries)
                    x.fail(QStringLiteral("样式表过大"));
                borders.emplace_back();
                border = &borders.back();
            } else if (border && (n == QLatin1String("left") || n == QLatin1String("start"))) {
                side = &border->left;
            } else if (border && (n == QLatin1String("right") || n == QLatin1String("end"))) {
                side = &border->right;
            } else if (border && n == QLatin1String("top")) {
                side = &border->top;
            } else if (border && n == QLatin1String("bottom")) {
                side = &border->bottom;
            } else if (n == QLatin1String("color") && side) {
                side->color = parseColor(x, theme);
            }
            if (side && (n == QLatin1String("left") || n == QLatin1String("right") || n == QLatin1String("top")
                         || n == QLatin1String("bottom") || n == QLatin1String("start") || n == QLatin1String("end")))
                side->style = borderStyle(x.attr("style"));
        } else if (section == InStyleXfs || section == InCellXfs) {
            auto &list = section == InStyleXfs ? styleXfs : cellXfs;
            if (n == QLatin1String("xf")) {
                if (list.size() >= MaxEntries)
                    x.fail(QStringLiteral("样式表过大"));
                list.emplace_back();
                xf = &list.back();
                xf->numFmt = intAttr(x, "numFmtId", 0);
                xf->font = intAttr(x, "fontId", 0);
                xf->fill = intAttr(x, "fillId", 0);
                xf->border = intAttr(x, "borderId", 0);
                xf->xfId = section == InCellXfs ? intAttr(x, "xfId", 0) : -1;
            } else if (xf && n == QLatin1String("alignment")) {
                xf->hasAlignment = true;
                xf->h = hAlign(x.attr("horizontal"));
                xf->v = vAlign(x.attr("vertical"));
                xf->wrap = flag(x, "wrapText", false);
                xf->indent = qBound(0, intAttr(x, "indent", 0), 250);
            } else if (xf && n == QLatin1String("protection")) {
                xf->hasProtection = true;
                xf->locked = flag(x, "locked", true);
                xf->hidden = flag(x, "hidden", false);
            }
        } else if (n == QLatin1String("cellStyle")) {
            static const QRegularExpression markName(QStringLiteral("^mark(\\d{1,4})$"),
                                                     QRegularExpression::CaseInsensitiveOption);
            const QString name = x.attr("name").trimmed();
            const int id = intAttr(x, "xfId", -1);
            nameOfStyleXf.insert(id, name);
            const auto m = markName.match(name);
            if (m.hasMatch())
                markOfStyleXf.insert(id, m.captured(1).toInt());
        }
    }
    if (x.failed()) {
        *error = QStringLiteral("styles.xml：%1").arg(x.error());
        return false;
    }
    xfStyles->clear();
    for (const Xf &c : cellXfs) {
        Style s;
        // Protection and alignment written on a cell format win; otherwise the named style's count.
        const Xf *parent = c.xfId >= 0 && c.xfId < int(styleXfs.size()) ? &styleXfs[c.xfId] : nullptr;
        const Xf &prot = c.hasProtection || !parent ? c : *parent;
        const Xf &align = c.hasAlignment || !parent ? c : *parent;
        if (c.font >= 0 && c.font < int(fonts.size())) {
            const Font &f = fonts[c.font];
            s.fontName = f.name;
            s.fontSize = f.size;
            s.bold = f.bold;
            s.italic = f.italic;
            s.underline = f.underline;
            s.fontColor = f.color;
        }
        if (c.fill >= 0 && c.fill < int(fills.size()) && fills[c.fill] != QColor(Qt::transparent))
            s.fill = fills[c.fill];
        if (c.border >= 0 && c.border < int(borders.size())) {
            s.left = borders[c.border].left;
            s.right = borders[c.border].right;
            s.top = borders[c.border].top;
            s.bottom = borders[c.border].bottom;
        }
        s.hAlign = align.h;
        s.vAlign = align.v;
        s.wrap = align.wrap;
        s.indent = align.indent;
        s.locked = prot.locked;
        s.hidden = prot.hidden;
        s.numberFormat = numFmts.contains(c.numFmt) ? numFmts.value(c.numFmt) : CellFormat::builtin(c.numFmt);
        s.mark = markOfStyleXf.value(c.xfId, 0);
        const QString name = nameOfStyleXf.value(c.xfId);
        if (name.compare(QLatin1String("Normal"), Qt::CaseInsensitive) != 0)
            s.styleName = name;
        xfStyles->push_back(book.appendStyle(s));
    }
    return true;
}

} // namespace lw
