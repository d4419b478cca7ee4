// SPDX-License-Identifier: GPL-3.0-or-later
// The zip container and the XML guard shared by the parts of the xlsx reader.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QXmlStreamReader>

struct zip;

namespace lw {

class Workbook;

// Caps that keep a hostile file from exhausting memory or time.
constexpr qint64 MaxPartBytes = 64 * 1024 * 1024;
constexpr qint64 MaxTotalBytes = 256 * 1024 * 1024;
constexpr int MaxXmlDepth = 64;
constexpr int MaxCells = 1000000;
constexpr qint64 MaxFormulaChars = 4 * 1024 * 1024; // all formulas of a file, shared ones expanded
constexpr qint64 MaxColumnSpans = 1000000;         // column entries of all <col> ranges
constexpr int MaxSheets = 256;
constexpr int MaxStrings = 2000000;

class ZipPackage
{
public:
    ZipPackage() = default;
    ~ZipPackage();
    ZipPackage(const ZipPackage &) = delete;
    ZipPackage &operator=(const ZipPackage &) = delete;

    bool openFile(const QString &path, QString *error);
    bool openData(const QByteArray &data, QString *error);
    bool has(const QString &name) const;
    // Reads a part; false with a message when missing, too large or damaged.
    bool read(const QString &name, QByteArray *out, QString *error);

private:
    zip *m_zip = nullptr;
    QByteArray m_data; // kept alive for a zip opened from memory
    qint64 m_total = 0;
};

// A stream reader that refuses DTDs and bounds the nesting depth.
class SafeXml
{
public:
    explicit SafeXml(const QByteArray &data) : m_x(data) {}

    // The next token; Invalid once the document is over or broken.
    QXmlStreamReader::TokenType next();
    bool failed() const { return !m_error.isEmpty(); }
    QString error() const { return m_error; }
    QXmlStreamReader &reader() { return m_x; }
    QStringView name() const { return m_x.name(); }
    QString attr(const char *name) const;
    // The text of the current element, skipping markup inside it (rich text runs).
    QString elementText();
    void fail(const QString &message);

private:
    QXmlStreamReader m_x;
    QString m_error;
    int m_depth = 0;
    bool m_done = false;
};

// Relationship id -> part path, resolved against the owner part's folder.
QHash<QString, QString> readRelationships(ZipPackage &zip, const QString &ownerPart, QHash<QString, QString> *types,
                                          QString *error);

// styles.xml (with the theme's colours): adds one style per cell format and returns the style
// index of each.
bool readStyles(const QByteArray &data, const QByteArray &themeData, Workbook &book, std::vector<int> *xfStyles,
                QString *error);

} // namespace lw
