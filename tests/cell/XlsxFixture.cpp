// SPDX-License-Identifier: GPL-3.0-or-later
#include "XlsxFixture.h"

#include <QFile>
#include <QStringList>

#include <zip.h>

#include <cstdlib>
#include <cstring>

namespace lw::test {

QByteArray zipParts(const Parts &parts, bool compress)
{
    zip_error_t ze;
    zip_error_init(&ze);
    zip_source_t *buf = zip_source_buffer_create(nullptr, 0, 0, &ze);
    zip_t *z = zip_open_from_source(buf, ZIP_TRUNCATE, &ze);
    zip_source_keep(buf);
    for (auto it = parts.begin(); it != parts.end(); ++it) {
        void *copy = std::malloc(size_t(it.value().size()) + 1);
        std::memcpy(copy, it.value().constData(), size_t(it.value().size()));
        zip_source_t *src = zip_source_buffer(z, copy, zip_uint64_t(it.value().size()), 1);
        const zip_int64_t idx = zip_file_add(z, it.key().toUtf8().constData(), src, ZIP_FL_OVERWRITE);
        zip_set_file_compression(z, zip_uint64_t(idx), compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
    }
    zip_close(z);
    QByteArray out;
    zip_source_open(buf);
    zip_source_seek(buf, 0, SEEK_END);
    const zip_int64_t size = zip_source_tell(buf);
    zip_source_seek(buf, 0, SEEK_SET);
    out.resize(int(size));
    zip_source_read(buf, out.data(), zip_uint64_t(size));
    zip_source_close(buf);
    zip_source_free(buf);
    zip_error_fini(&ze);
    return out;
}

Parts workbookParts(const QList<QByteArray> &sheetBodies, const QByteArray &styles, const QByteArray &sharedStrings,
                    const QByteArray &definedNames, const QStringList &names)
{
    Parts p;
    p["[Content_Types].xml"] = "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>";
    p["_rels/.rels"] =
        "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/>"
        "</Relationships>";
    QByteArray rels = "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    QByteArray sheets;
    for (int i = 0; i < sheetBodies.size(); ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        const QByteArray name = i < names.size() ? names[i].toUtf8() : "Sheet" + n;
        rels += "<Relationship Id=\"rId" + n + "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet" + n + ".xml\"/>";
        sheets += "<sheet name=\"" + name + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        p["xl/worksheets/sheet" + n + ".xml"] =
            "<?xml version=\"1.0\"?><worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
            + sheetBodies[i] + "</worksheet>";
    }
    if (!styles.isEmpty()) {
        rels += "<Relationship Id=\"rS\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/>";
        p["xl/styles.xml"] = "<?xml version=\"1.0\"?><styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" + styles + "</styleSheet>";
    }
    if (!sharedStrings.isEmpty()) {
        rels += "<Relationship Id=\"rT\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>";
        p["xl/sharedStrings.xml"] = "<?xml version=\"1.0\"?><sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" + sharedStrings + "</sst>";
    }
    rels += "</Relationships>";
    p["xl/_rels/workbook.xml.rels"] = rels;
    p["xl/workbook.xml"] =
        "<?xml version=\"1.0\"?><workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>" + sheets + "</sheets>"
        + (definedNames.isEmpty() ? QByteArray() : "<definedNames>" + definedNames + "</definedNames>") + "</workbook>";
    return p;
}

QByteArray standardStyles()
{
    return "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"#,##0.00\"/></numFmts>"
           "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"宋体\"/></font></fonts>"
           "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill patternType=\"gray125\"/></fill></fills>"
           "<borders count=\"1\"><border/></borders>"
           "<cellStyleXfs count=\"2\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
           "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
           "<cellXfs count=\"5\"><xf numFmtId=\"0\" xfId=\"0\"/>"
           "<xf numFmtId=\"164\" xfId=\"0\"><protection locked=\"0\"/></xf>"
           "<xf numFmtId=\"0\" xfId=\"0\"><protection locked=\"0\"/></xf>"
           "<xf numFmtId=\"0\" xfId=\"1\"><protection locked=\"0\"/></xf>"
           "<xf numFmtId=\"9\" xfId=\"0\"/></cellXfs>"
           "<cellStyles count=\"2\"><cellStyle name=\"Normal\" xfId=\"0\"/><cellStyle name=\"Mark5\" xfId=\"1\"/></cellStyles>";
}

QString writeFixture(const QString &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir + QLatin1Char('/') + name;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

} // namespace lw::test
