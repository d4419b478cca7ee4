// SPDX-License-Identifier: GPL-3.0-or-later
// Small xlsx packages built in the test itself, part by part, so each fixture shows its defect.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

namespace lw::test {

using Parts = QMap<QString, QByteArray>;

// Zips the parts (stored uncompressed unless compress is set).
QByteArray zipParts(const Parts &parts, bool compress = false);

// A well-formed package: one sheet per entry of sheetXml ("<sheetData>...</sheetData>" bodies),
// named Sheet1, Sheet2 ... unless names are given; styles and shared strings optional.
Parts workbookParts(const QList<QByteArray> &sheetBodies, const QByteArray &styles = QByteArray(),
                    const QByteArray &sharedStrings = QByteArray(), const QByteArray &definedNames = QByteArray(),
                    const QStringList &names = QStringList());

// A styles part with cell formats 0 locked General, 1 unlocked "#,##0.00", 2 unlocked General,
// 3 from the named style "Mark5", 4 locked "0%".
QByteArray standardStyles();

// Writes bytes to a file in dir and returns its path.
QString writeFixture(const QString &dir, const QString &name, const QByteArray &bytes);

} // namespace lw::test
