// SPDX-License-Identifier: GPL-3.0-or-later
#include "XmlDoc.h"

#include "FileBytes.h"

#include <QSaveFile>

#include <algorithm>
#include <vector>

#include <libxml/parser.h>
#include <libxml/tree.h>

namespace lw {

namespace {

const xmlChar *xc(const QByteArray &bytes)
{
    return reinterpret_cast<const xmlChar *>(bytes.constData());
}

QString qs(const xmlChar *text)
{
    return text ? QString::fromUtf8(reinterpret_cast<const char *>(text)) : QString();
}

void ensure(bool condition, const QString &message)
{
    if (!condition)
        throw XmlError(message);
}

bool startsWithDeclaration(const QByteArray &bytes)
{
    int i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        i = 3;
    return bytes.mid(i, 5) == "<?xml";
}

_xmlNode *nthChild(_xmlNode *first, int index)
{
    if (index < 0)
        return nullptr;
    for (_xmlNode *n = first; n; n = n->next) {
        if (index-- == 0)
            return n;
    }
    return nullptr;
}

int countChildren(_xmlNode *first)
{
    int count = 0;
    for (_xmlNode *n = first; n; n = n->next)
        ++count;
    return count;
}

void silentErrors(void *, const char *, ...) {}

bool isBlankText(_xmlNode *node)
{
    if (node->type != XML_TEXT_NODE || !node->content)
        return false;
    for (const xmlChar *c = node->content; *c; ++c)
        if (*c != ' ' && *c != '\t' && *c != '\n' && *c != '\r')
            return false;
    return true;
}

// NOBLANKS keeps the whitespace of an element without element children ("<list>\n  </list>"),
// which would take position 0 of an empty list; whitespace-only text is never content here.
void dropBlankText(_xmlNode *first)
{
    for (_xmlNode *n = first; n;) {
        _xmlNode *next = n->next;
        if (isBlankText(n)) {
            xmlUnlinkNode(n);
            xmlFreeNode(n);
        } else if (n->type == XML_ELEMENT_NODE) {
            dropBlankText(n->children);
        }
        n = next;
    }
}

// Copies not yet attached belong to their document and are freed with it, so a row template
// that is copied and never used does not leak.
struct Detached
{
    std::vector<_xmlNode *> nodes;
};

Detached *detachedOf(_xmlDoc *doc)
{
    return doc ? static_cast<Detached *>(doc->_private) : nullptr;
}

void forget(_xmlNode *node)
{
    if (Detached *d = detachedOf(node->doc)) {
        auto &v = d->nodes;
        v.erase(std::remove(v.begin(), v.end(), node), v.end());
    }
}

} // namespace

// --- XmlNode ---------------------------------------------------------------------------------

bool XmlNode::isElement() const
{
    return m_node && m_node->type == XML_ELEMENT_NODE;
}

QString XmlNode::name() const
{
    ensure(m_node, QStringLiteral("XML节点不存在"));
    return qs(m_node->name);
}

int XmlNode::childCount() const
{
    ensure(m_node, QStringLiteral("XML节点不存在"));
    return countChildren(m_node->children);
}

XmlNode XmlNode::child(int index) const
{
    ensure(m_node, QStringLiteral("XML节点不存在"));
    _xmlNode *n = nthChild(m_node->children, index);
    ensure(n, QStringLiteral("XML节点 %1 没有第 %2 个子节点").arg(name()).arg(index));
    return XmlNode(n);
}

XmlNode XmlNode::at(std::initializer_list<int> path) const
{
    XmlNode node = *this;
    for (int index : path)
        node = node.child(index);
    return node;
}

QString XmlNode::text() const
{
    ensure(m_node, QStringLiteral("XML节点不存在"));
    xmlChar *content = xmlNodeGetContent(m_node);
    QString result = qs(content);
    xmlFree(content);
    return result;
}

void XmlNode::setText(const QString &text)
{
    ensure(m_node, QStringLiteral("XML节点不存在"));
    // Characters XML 1.0 cannot carry (controls other than tab and line ends, lone surrogates,
    // U+FFFE/U+FFFF) would make the saved document unreadable for its receiver: they are dropped.
    QString clean;
    clean.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            clean += c;
            clean += text.at(++i);
        } else if ((u >= 0x20 && !c.isSurrogate() && u != 0xFFFE && u != 0xFFFF) || u == '\t' || u == '\n' || u == '\r') {
            clean += c;
        }
    }
    // xmlNodeSetContent parses entity references; escape so the text is stored as given.
    xmlChar *escaped = xmlEncodeSpecialChars(m_node->doc, xc(clean.toUtf8()));
    xmlNodeSetContent(m_node, escaped);
    xmlFree(escaped);
}

QString XmlNode::attribute(const QString &attrName) const
{
    ensure(m_node, QStringLiteral("XML节点不存在"));
    xmlChar *value = xmlGetProp(m_node, xc(attrName.toUtf8()));
    QString result = qs(value);
    xmlFree(value);
    return result;
}

void XmlNode::setAttribute(const QString &attrName, const QString &value)
{
    ensure(m_node, QStringLiteral("XML节点不存在"));
    xmlSetProp(m_node, xc(attrName.toUtf8()), xc(value.toUtf8()));
}

XmlNode XmlNode::deepCopy() const
{
    ensure(m_node, QStringLiteral("XML节点不存在"));
    _xmlNode *copy = xmlDocCopyNode(m_node, m_node->doc, 1);
    ensure(copy, QStringLiteral("复制XML节点失败"));
    if (Detached *d = detachedOf(m_node->doc))
        d->nodes.push_back(copy);
    return XmlNode(copy);
}

XmlNode XmlNode::appendChild(XmlNode childNode)
{
    ensure(m_node && childNode.m_node, QStringLiteral("XML节点不存在"));
    if (childNode.m_node->parent)
        xmlUnlinkNode(childNode.m_node);
    forget(childNode.m_node);
    _xmlNode *added = xmlAddChild(m_node, childNode.m_node);
    ensure(added, QStringLiteral("添加XML节点失败"));
    return XmlNode(added);
}

void XmlNode::removeChild(int index)
{
    _xmlNode *n = child(index).m_node;
    forget(n);
    xmlUnlinkNode(n);
    xmlFreeNode(n);
}

// --- XmlDoc ----------------------------------------------------------------------------------

XmlDoc::XmlDoc() = default;

static void freeDoc(_xmlDoc *doc)
{
    if (!doc)
        return;
    if (Detached *d = detachedOf(doc)) {
        for (_xmlNode *n : d->nodes)
            xmlFreeNode(n);
        delete d;
        doc->_private = nullptr;
    }
    xmlFreeDoc(doc);
}

XmlDoc::~XmlDoc()
{
    freeDoc(m_doc);
}

XmlDoc::XmlDoc(XmlDoc &&other) noexcept
    : m_hasDeclaration(other.m_hasDeclaration), m_doc(other.m_doc)
{
    other.m_doc = nullptr;
}

XmlDoc &XmlDoc::operator=(XmlDoc &&other) noexcept
{
    if (this != &other) {
        freeDoc(m_doc);
        m_doc = other.m_doc;
        m_hasDeclaration = other.m_hasDeclaration;
        other.m_doc = nullptr;
    }
    return *this;
}

XmlDoc XmlDoc::fromFile(const QString &path)
{
    QByteArray bytes;
    try {
        bytes = ReadFileBytes(path);
    } catch (const std::exception &e) {
        throw XmlError(QString::fromStdString(e.what()));
    }
    return fromBytes(bytes);
}

XmlDoc XmlDoc::fromBytes(const QByteArray &bytes)
{
    xmlSetGenericErrorFunc(nullptr, silentErrors);
    XmlDoc doc;
    // NONET: no network; no NOENT/DTDLOAD: entities are never expanded from outside;
    // NOBLANKS: whitespace between elements is not a node, so positions do not depend on layout.
    const int options = XML_PARSE_NONET | XML_PARSE_NOBLANKS | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    doc.m_doc = xmlReadMemory(bytes.constData(), int(bytes.size()), nullptr, nullptr, options);
    ensure(doc.m_doc, QStringLiteral("XML文档格式错误"));
    doc.m_doc->_private = new Detached;
    ensure(xmlDocGetRootElement(doc.m_doc), QStringLiteral("XML文档没有根元素"));
    dropBlankText(doc.m_doc->children);
    doc.m_hasDeclaration = startsWithDeclaration(bytes);
    return doc;
}

int XmlDoc::childCount() const
{
    ensure(m_doc, QStringLiteral("XML文档未加载"));
    return countChildren(m_doc->children) + (m_hasDeclaration ? 1 : 0);
}

XmlNode XmlDoc::child(int index) const
{
    ensure(m_doc, QStringLiteral("XML文档未加载"));
    if (m_hasDeclaration) {
        // The declaration is not a node in libxml2; it is addressable but carries nothing.
        ensure(index != 0, QStringLiteral("XML声明不是元素"));
        --index;
    }
    _xmlNode *n = nthChild(m_doc->children, index);
    ensure(n, QStringLiteral("XML文档没有第 %1 个子节点").arg(index + (m_hasDeclaration ? 1 : 0)));
    return XmlNode(n);
}

XmlNode XmlDoc::at(std::initializer_list<int> path) const
{
    ensure(path.size() > 0, QStringLiteral("XML路径为空"));
    auto it = path.begin();
    XmlNode node = child(*it);
    for (++it; it != path.end(); ++it)
        node = node.child(*it);
    return node;
}

XmlNode XmlDoc::root() const
{
    ensure(m_doc, QStringLiteral("XML文档未加载"));
    return XmlNode(xmlDocGetRootElement(m_doc));
}

QString XmlDoc::encoding() const
{
    ensure(m_doc, QStringLiteral("XML文档未加载"));
    return m_doc->encoding ? qs(m_doc->encoding) : QStringLiteral("UTF-8");
}

QByteArray XmlDoc::toBytes() const
{
    ensure(m_doc, QStringLiteral("XML文档未加载"));
    xmlChar *mem = nullptr;
    int size = 0;
    const QByteArray enc = encoding().toLatin1();
    xmlDocDumpFormatMemoryEnc(m_doc, &mem, &size, enc.constData(), 0);
    ensure(mem, QStringLiteral("无法以 %1 编码保存XML文档").arg(encoding()));
    QByteArray result(reinterpret_cast<const char *>(mem), size);
    xmlFree(mem);
    return result;
}

void XmlDoc::save(const QString &path) const
{
    const QByteArray bytes = toBytes();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw XmlError(QStringLiteral("保存XML文档 %1 失败：%2").arg(path, file.errorString()));
}

} // namespace lw
