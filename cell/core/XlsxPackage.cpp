// SPDX-License-Identifier: GPL-3.0-or-later
#include "XlsxPackage.h"

#include <QDir>
#include <QFile>

#include <zip.h>

namespace lw {

ZipPackage::~ZipPackage()
{
    if (m_zip)
        zip_discard(m_zip);
}

bool ZipPackage::openFile(const QString &path, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("无法打开文件：%1").arg(path);
        return false;
    }
    if (f.size() > MaxTotalBytes) {
        *error = QStringLiteral("文件过大：%1").arg(path);
        return false;
    }
    return openData(f.readAll(), error);
}

bool ZipPackage::openData(const QByteArray &data, QString *error)
{
    m_data = data;
    zip_error_t ze;
    zip_error_init(&ze);
    zip_source_t *src = zip_source_buffer_create(m_data.constData(), zip_uint64_t(m_data.size()), 0, &ze);
    if (!src) {
        zip_error_fini(&ze);
        *error = QStringLiteral("不是有效的 xlsx 文件（zip 无法读取）");
        return false;
    }
    m_zip = zip_open_from_source(src, ZIP_RDONLY, &ze);
    if (!m_zip) {
        zip_source_free(src);
        zip_error_fini(&ze);
        *error = QStringLiteral("不是有效的 xlsx 文件（zip 无法读取）");
        return false;
    }
    zip_error_fini(&ze);
    return true;
}

bool ZipPackage::has(const QString &name) const
{
    return m_zip && zip_name_locate(m_zip, name.toUtf8().constData(), 0) >= 0;
}

bool ZipPackage::read(const QString &name, QByteArray *out, QString *error)
{
    const QByteArray n = name.toUtf8();
    zip_stat_t st;
    zip_stat_init(&st);
    if (!m_zip || zip_stat(m_zip, n.constData(), 0, &st) != 0) {
        *error = QStringLiteral("xlsx 文件缺少部件 %1").arg(name);
        return false;
    }
    // The declared size may lie: read at most the cap plus one byte and check what came.
    zip_file_t *f = zip_fopen(m_zip, n.constData(), 0);
    if (!f) {
        *error = QStringLiteral("xlsx 部件 %1 已损坏").arg(name);
        return false;
    }
    const qint64 cap = std::min(MaxPartBytes, MaxTotalBytes - m_total);
    out->clear();
    QByteArray buf(64 * 1024, Qt::Uninitialized);
    bool ok = true;
    for (;;) {
        const zip_int64_t got = zip_fread(f, buf.data(), zip_uint64_t(buf.size()));
        if (got < 0) {
            ok = false;
            *error = QStringLiteral("xlsx 部件 %1 已损坏").arg(name);
            break;
        }
        if (got == 0)
            break;
        if (out->size() + got > cap) {
            ok = false;
            *error = QStringLiteral("xlsx 部件 %1 过大").arg(name);
            break;
        }
        out->append(buf.constData(), int(got));
    }
    zip_fclose(f);
    if (ok)
        m_total += out->size();
    return ok;
}

QXmlStreamReader::TokenType SafeXml::next()
{
    if (failed() || m_done)
        return QXmlStreamReader::Invalid;
    const auto t = m_x.readNext();
    if (t == QXmlStreamReader::EndDocument) {
        m_done = true;
        return QXmlStreamReader::Invalid;
    }
    switch (t) {
    case QXmlStreamReader::StartElement:
        if (++m_depth > MaxXmlDepth)
            fail(QStringLiteral("XML 嵌套过深"));
        break;
    case QXmlStreamReader::EndElement:
        --m_depth;
        break;
    case QXmlStreamReader::DTD:
    case QXmlStreamReader::EntityReference:
        fail(QStringLiteral("XML 含有不允许的 DTD 或实体"));
        break;
    case QXmlStreamReader::Invalid:
        if (m_x.hasError() && m_x.error() != QXmlStreamReader::PrematureEndOfDocumentError)
            fail(QStringLiteral("XML 格式错误：%1").arg(m_x.errorString()));
        else if (m_x.hasError())
            fail(QStringLiteral("XML 不完整"));
        break;
    default:
        break;
    }
    return failed() ? QXmlStreamReader::Invalid : t;
}

void SafeXml::fail(const QString &message)
{
    if (m_error.isEmpty())
        m_error = message;
}

QString SafeXml::attr(const char *name) const
{
    const QXmlStreamAttributes attrs = m_x.attributes();
    for (const QXmlStreamAttribute &a : attrs)
        if (a.name() == QLatin1String(name))
            return a.value().toString();
    return QString();
}

QString SafeXml::elementText()
{
    QString out;
    const int start = m_depth;
    for (;;) {
        const auto t = next();
        if (t == QXmlStreamReader::Invalid)
            return out;
        if (t == QXmlStreamReader::Characters) {
            // Phonetic runs (<rPh>) are not part of the text.
            out += m_x.text();
            if (out.size() > 32767)
                out.truncate(32767);
        } else if (t == QXmlStreamReader::StartElement && m_x.name() == QLatin1String("rPh")) {
            const int d = m_depth;
            while (m_depth >= d && next() != QXmlStreamReader::Invalid) {
            }
        } else if (t == QXmlStreamReader::EndElement && m_depth < start) {
            return out;
        }
    }
}

namespace {
QString resolvePart(const QString &ownerPart, const QString &target)
{
    if (target.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(target.mid(1));
    const int slash = ownerPart.lastIndexOf(QLatin1Char('/'));
    const QString dir = slash >= 0 ? ownerPart.left(slash + 1) : QString();
    QString p = QDir::cleanPath(dir + target);
    while (p.startsWith(QLatin1String("../")))
        p = p.mid(3);
    return p;
}
} // namespace

QHash<QString, QString> readRelationships(ZipPackage &zip, const QString &ownerPart, QHash<QString, QString> *types,
                                          QString *error)
{
    QHash<QString, QString> out;
    const int slash = ownerPart.lastIndexOf(QLatin1Char('/'));
    const QString relsPart = (slash >= 0 ? ownerPart.left(slash + 1) : QString()) + QStringLiteral("_rels/")
        + ownerPart.mid(slash + 1) + QStringLiteral(".rels");
    if (!zip.has(relsPart))
        return out;
    QByteArray data;
    if (!zip.read(relsPart, &data, error))
        return out;
    SafeXml x(data);
    while (x.next() != QXmlStreamReader::Invalid) {
        if (x.reader().isStartElement() && x.name() == QLatin1String("Relationship")) {
            if (x.attr("TargetMode") == QLatin1String("External"))
                continue;
            const QString id = x.attr("Id");
            out.insert(id, resolvePart(ownerPart, x.attr("Target")));
            if (types)
                types->insert(id, x.attr("Type"));
        }
    }
    if (x.failed())
        *error = x.error();
    return out;
}

} // namespace lw
