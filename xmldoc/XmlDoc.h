// SPDX-License-Identifier: GPL-3.0-or-later
// Position-addressed XML documents: templates are read without whitespace nodes and filled by
// child position, never by element name. The XML declaration counts as the document's child 0,
// so the root element is child 1. An absent position raises XmlError, never a crash.
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <stdexcept>

struct _xmlDoc;
struct _xmlNode;

namespace lw {

class XmlError : public std::runtime_error
{
public:
    explicit XmlError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

class XmlDoc;

// A handle on an element (or other node) of a document; cheap to copy, valid while its document
// lives and the node is attached or owned by a copy.
class XmlNode
{
public:
    XmlNode() = default;

    bool isNull() const { return m_node == nullptr; }
    // False for text, comment and processing-instruction nodes, which also take positions.
    bool isElement() const;
    QString name() const;
    int childCount() const;
    // Child at a position counted from 0; raises XmlError when there is none.
    XmlNode child(int index) const;
    // Walks a path of positions: node.at({3, 0, 2}).
    XmlNode at(std::initializer_list<int> path) const;
    // Text content of the node and its descendants.
    QString text() const;
    // Replaces the node's content by one text.
    void setText(const QString &text);
    QString attribute(const QString &name) const;
    void setAttribute(const QString &name, const QString &value);

    // A deep copy, not yet attached anywhere (append it to attach it).
    XmlNode deepCopy() const;
    // Appends a node (a detached copy, or a node moved from elsewhere in the same document).
    XmlNode appendChild(XmlNode child);
    // Removes and frees the child at a position.
    void removeChild(int index);

    _xmlNode *raw() const { return m_node; }

private:
    friend class XmlDoc;
    explicit XmlNode(_xmlNode *node) : m_node(node) {}
    _xmlNode *m_node = nullptr;
};

class XmlDoc
{
public:
    XmlDoc();
    ~XmlDoc();
    XmlDoc(XmlDoc &&) noexcept;
    XmlDoc &operator=(XmlDoc &&) noexcept;
    XmlDoc(const XmlDoc &) = delete;
    XmlDoc &operator=(const XmlDoc &) = delete;

    // Parses without network access, entity expansion or whitespace-only text nodes.
    static XmlDoc fromFile(const QString &path);
    static XmlDoc fromBytes(const QByteArray &bytes);

    // Document-level children: the declaration (if the source had one) at 0, then the rest.
    int childCount() const;
    XmlNode child(int index) const;
    XmlNode at(std::initializer_list<int> path) const;
    // Whether the source began with an XML declaration (which then holds position 0).
    bool hasDeclaration() const { return m_hasDeclaration; }
    // The root element, wherever it stands.
    XmlNode root() const;

    // The encoding the document declares ("UTF-8" when none); saving honours it.
    QString encoding() const;
    QByteArray toBytes() const;
    // Writes the document in its declared encoding; raises XmlError on failure.
    void save(const QString &path) const;

private:
    bool m_hasDeclaration = false;
    _xmlDoc *m_doc = nullptr;
};

} // namespace lw
