// The small document model the controller definition files need, on pugixml: load a file, the
// root element, the first child element of a name, the next sibling element, an element's text.
// Nothing of the file is trusted: no DTD, no entity beyond the five predefined ones and character
// references, no external reference; a file larger than kMaxBytes is refused unread.
#pragma once

#include <memory>

#include <QByteArray>
#include <QString>

namespace pugi {
class xml_document;
struct xml_node_struct;
}  // namespace pugi

// A handle on one element of a loaded document; valid while the document lives.
class XmlElement {
public:
    XmlElement() = default;

    bool isNull() const { return node_ == nullptr; }
    QString name() const;
    // The first child element called `name` (names compare exactly); null when there is none.
    XmlElement firstChild(const char* name) const;
    // The next sibling element, whatever its name; null after the last.
    XmlElement nextSibling() const;
    // The text of the element and all its descendants in document order, as written (no trimming).
    QString text() const;
    // The text of the first child element called `name`; empty when there is none.
    QString childText(const char* name) const;

private:
    friend class XmlDocument;
    explicit XmlElement(pugi::xml_node_struct* n) : node_(n) {}
    pugi::xml_node_struct* node_ = nullptr;
};

class XmlDocument {
public:
    static constexpr qint64 kMaxBytes = 64 << 20;

    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // False, with the reason in *error, when the file cannot be read or is not well-formed XML.
    // A failed load leaves an empty document.
    bool loadFile(const QString& path, QString* error = nullptr);
    bool loadData(const QByteArray& data, QString* error = nullptr);

    // The document element; null when nothing is loaded.
    XmlElement root() const;

private:
    std::unique_ptr<pugi::xml_document> doc_;
};
