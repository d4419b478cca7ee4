// SPDX-License-Identifier: GPL-3.0-or-later
#include "Layouts.h"

#include "XmlDoc.h"

#include <QDate>
#include <QRegularExpression>

#include <cmath>

namespace lw::sim {

namespace {

Slot leaf(Value v)
{
    Slot s;
    s.value = v;
    return s;
}

Slot values(int count, Value v = Value::Number)
{
    Slot s;
    s.shape = Slot::ValueList;
    s.value = v;
    s.count = count;
    return s;
}

Slot rows(const QVector<Value> &row, int exact = -1)
{
    Slot s;
    s.shape = Slot::RowList;
    s.row = row;
    s.rows = exact;
    return s;
}

// A row of `texts` text positions followed by `numbers` number positions.
QVector<Value> textsThenNumbers(int texts, int numbers)
{
    return QVector<Value>(texts, Value::Text) + QVector<Value>(numbers, Value::Number);
}

// The header shared by every kind but the consolidated declaration.
QVector<Slot> header()
{
    return {leaf(Value::Version), leaf(Value::Key), leaf(Value::Date), leaf(Value::Date), leaf(Value::Date)};
}

QVector<Slot> consolidatedRoot()
{
    QVector<Slot> r{leaf(Value::Version), leaf(Value::Key), leaf(Value::Text),
                    leaf(Value::Date),    leaf(Value::Date), leaf(Value::Date)};
    // Six invested enterprises: name, taxpayer number, share, taxable income.
    for (int i = 0; i < 6; ++i)
        r << leaf(Value::Text) << leaf(Value::Text) << leaf(Value::Number) << leaf(Value::Number);
    for (int i = 0; i < 11; ++i)
        r << leaf(Value::Number);
    return r;
}

QVector<Layout> buildLayouts()
{
    const QVector<Value> member{Value::Text,   Value::Text,       Value::Text,   Value::NatureCode, Value::Text,
                                Value::Text,   Value::MethodCode, Value::Number, Value::Number,     Value::Number,
                                Value::Number, Value::Number,     Value::Text,   Value::Text};
    return {
        {QStringLiteral("DATA_YJBB_"), header() << values(6) << rows(textsThenNumbers(3, 12))},
        {QStringLiteral("DATA_QSBB_"),
         header() << values(9) << rows(textsThenNumbers(3, 11)) << values(124) << values(88)},
        {QStringLiteral("DATA_HZBB_"), consolidatedRoot()},
        // Position 5 carries the stored annual lines as they are, so a line may be empty.
        {QStringLiteral("DATA_CZZS_"),
         header() << values(47, Value::NumberOrEmpty) << rows(textsThenNumbers(3, 16)) << values(141)
                  << rows(textsThenNumbers(1, 10), 6) << rows(textsThenNumbers(1, 5))},
        {QStringLiteral("DATA_HDZS_"), header() << values(9) << rows(textsThenNumbers(3, 16))},
        {QStringLiteral("DATA_HHQYSBMX_"), header() << rows(member)},
    };
}

QString quoted(const QString &text)
{
    const QString shown = text.size() > 40 ? text.left(40) + QStringLiteral("...") : text;
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

bool isNumber(const QString &text)
{
    bool ok = false;
    const double d = text.toDouble(&ok);
    return ok && std::isfinite(d);
}

bool isDate(const QString &text)
{
    static const QRegularExpression shape(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    return shape.match(text).hasMatch() && QDate::fromString(text, QStringLiteral("yyyy-MM-dd")).isValid();
}

class Checker
{
public:
    explicit Checker(const QString &key) : m_key(key) {}

    QString check(const Layout &layout, const XmlNode &root) const
    {
        const QString where = QStringLiteral("root");
        if (QString f = size(root, where, layout.root.size(), true); !f.isEmpty())
            return f;
        for (int p = 0; p < layout.root.size(); ++p) {
            const Slot &slot = layout.root.at(p);
            const XmlNode node = root.child(p);
            const QString at = where + QLatin1Char('/') + QString::number(p);
            QString f;
            switch (slot.shape) {
            case Slot::Leaf: f = value(node, at, slot.value); break;
            case Slot::ValueList: f = valueList(node, at, slot); break;
            case Slot::RowList: f = rowList(node, at, slot); break;
            }
            if (!f.isEmpty())
                return f;
        }
        return {};
    }

private:
    // Too few children names the first missing position; too many is told as a count.
    static QString size(const XmlNode &node, const QString &where, int wanted, bool exact)
    {
        const int n = node.childCount();
        if (n < wanted)
            return QStringLiteral("%1/%2 is missing").arg(where).arg(n);
        if (exact && n > wanted)
            return QStringLiteral("%1 has %2 children, not %3").arg(where).arg(n).arg(wanted);
        return {};
    }

    QString value(const XmlNode &node, const QString &where, Value v) const
    {
        if (!node.isElement())
            return where + QStringLiteral(" is not an element");
        for (int i = 0; i < node.childCount(); ++i) {
            if (node.child(i).isElement())
                return where + QStringLiteral(" holds elements where a value belongs");
        }
        const QString text = node.text();
        switch (v) {
        case Value::Text:
            return {};
        case Value::Number:
            return isNumber(text) ? QString() : where + QLatin1Char(' ') + quoted(text) + QStringLiteral(" is not a number");
        case Value::NumberOrEmpty:
            return text.isEmpty() || isNumber(text)
                       ? QString()
                       : where + QLatin1Char(' ') + quoted(text) + QStringLiteral(" is neither a number nor empty");
        case Value::Date:
            return isDate(text) ? QString()
                                : where + QLatin1Char(' ') + quoted(text) + QStringLiteral(" is not a date yyyy-mm-dd");
        case Value::Version:
            return text == QLatin1String("1.0")
                       ? QString()
                       : where + QLatin1Char(' ') + quoted(text) + QStringLiteral(" is not the version \"1.0\"");
        case Value::Key:
            return text == m_key ? QString()
                                 : where + QLatin1Char(' ') + quoted(text)
                                       + QStringLiteral(" is not the document key \"%1\" of the file name").arg(m_key);
        case Value::NatureCode: {
            static const QStringList codes{QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03")};
            return text.isEmpty() || codes.contains(text)
                       ? QString()
                       : where + QLatin1Char(' ') + quoted(text) + QStringLiteral(" is not an investor-nature code");
        }
        case Value::MethodCode: {
            static const QStringList codes{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                           QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("9")};
            return text.isEmpty() || codes.contains(text)
                       ? QString()
                       : where + QLatin1Char(' ') + quoted(text) + QStringLiteral(" is not a contribution-method code");
        }
        }
        return {};
    }

    // Children past the layout's count are left by the client as its template has them: they
    // may stay empty, but what they hold must still be a number.
    QString valueList(const XmlNode &node, const QString &where, const Slot &slot) const
    {
        if (!node.isElement())
            return where + QStringLiteral(" is not an element");
        if (QString f = size(node, where, slot.count, false); !f.isEmpty())
            return f;
        for (int i = 0; i < node.childCount(); ++i) {
            const Value v = i < slot.count ? slot.value : Value::NumberOrEmpty;
            if (QString f = value(node.child(i), where + QLatin1Char('/') + QString::number(i), v); !f.isEmpty())
                return f;
        }
        return {};
    }

    QString rowList(const XmlNode &node, const QString &where, const Slot &slot) const
    {
        if (!node.isElement())
            return where + QStringLiteral(" is not an element");
        const int n = node.childCount();
        if (slot.rows >= 0 && n != slot.rows)
            return QStringLiteral("%1 has %2 rows, not %3").arg(where).arg(n).arg(slot.rows);
        for (int r = 0; r < n; ++r) {
            const XmlNode row = node.child(r);
            const QString at = where + QLatin1Char('/') + QString::number(r);
            if (!row.isElement())
                return at + QStringLiteral(" is not an element");
            if (QString f = size(row, at, slot.row.size(), true); !f.isEmpty())
                return f;
            for (int c = 0; c < slot.row.size(); ++c) {
                if (QString f = value(row.child(c), at + QLatin1Char('/') + QString::number(c), slot.row.at(c));
                    !f.isEmpty())
                    return f;
            }
        }
        return {};
    }

    QString m_key;
};

} // namespace

const QVector<Layout> &Layouts()
{
    static const QVector<Layout> layouts = buildLayouts();
    return layouts;
}

const Layout *LayoutForFile(const QString &fileName, QString *key)
{
    if (!fileName.endsWith(QLatin1String(".xml")))
        return nullptr;
    for (const Layout &layout : Layouts()) {
        if (fileName.startsWith(layout.prefix)) {
            if (key)
                *key = fileName.mid(layout.prefix.size(), fileName.size() - layout.prefix.size() - 4);
            return &layout;
        }
    }
    return nullptr;
}

QString CheckDocument(const Layout &layout, const QString &key, const QByteArray &bytes)
{
    if (key.isEmpty())
        return QStringLiteral("the file name carries no document key");
    try {
        const XmlDoc doc = XmlDoc::fromBytes(bytes);
        if (!doc.hasDeclaration())
            return QStringLiteral("position 0 is not an XML declaration");
        if (doc.childCount() < 2 || doc.child(1).raw() != doc.root().raw())
            return QStringLiteral("position 1 is not the root element");
        return Checker(key).check(layout, doc.child(1));
    } catch (const XmlError &e) {
        return QStringLiteral("not a well-formed XML document (%1)").arg(QString::fromStdString(e.what()));
    }
}

} // namespace lw::sim
