// SPDX-License-Identifier: GPL-3.0-or-later
// The bureau's layouts of the declaration documents, by position under the root element, and the
// check of a received document against its layout. Written from the bureau's side, independent of
// the client's templates, so that it checks them rather than echoing them.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

namespace lw::sim {

// What one value position may hold.
enum class Value {
    Text,          // anything
    Number,        // text that parses as a finite number
    NumberOrEmpty, // a number or nothing
    Date,          // a valid date written yyyy-mm-dd
    Version,       // "1.0"
    Key,           // the document key of the file name
    NatureCode,    // empty or an investor-nature code
    MethodCode,    // empty or a contribution-method code
};

// One child of the root element.
struct Slot
{
    enum Shape { Leaf, ValueList, RowList };
    Shape shape = Leaf;
    Value value = Value::Text; // Leaf: its value; ValueList: each of its first `count` values
    int count = 1;             // ValueList: the least number of children
    QVector<Value> row;        // RowList: each row element's children, by position
    int rows = -1;             // RowList: the exact number of rows, -1 for any
};

struct Layout
{
    QString prefix; // "DATA_YJBB_": the file is prefix + key + ".xml"
    QVector<Slot> root;
};

const QVector<Layout> &Layouts();

// The layout a file name asks for and the key it carries; nullptr for names of other documents.
const Layout *LayoutForFile(const QString &fileName, QString *key);

// Empty when the document holds to the layout; otherwise the first position that fails and why,
// e.g. `root/6/2/5 "abc" is not a number`.
QString CheckDocument(const Layout &layout, const QString &key, const QByteArray &bytes);

} // namespace lw::sim
