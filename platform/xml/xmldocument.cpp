#include "platform/xml/xmldocument.h"

#include <cstring>

#include <QFile>

#include <pugixml.hpp>

namespace {

pugi::xml_node wrap(pugi::xml_node_struct* n) { return pugi::xml_node(n); }

}  // namespace

QString XmlElement::name() const
{
    return node_ ? QString::fromUtf8(wrap(node_).name()) : QString();
}

XmlElement XmlElement::firstChild(const char* name) const
{
    if (!node_) return {};
    for (pugi::xml_node c = wrap(node_).first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && std::strcmp(c.name(), name) == 0)
            return XmlElement(c.internal_object());
    return {};
}

XmlElement XmlElement::nextSibling() const
{
    if (!node_) return {};
    for (pugi::xml_node s = wrap(node_).next_sibling(); s; s = s.next_sibling())
        if (s.type() == pugi::node_element) return XmlElement(s.internal_object());
    return {};
}

QString XmlElement::text() const
{
    if (!node_) return {};
    // iterative walk: a deeply nested file must not exhaust the stack
    const pugi::xml_node top = wrap(node_);
    QByteArray out;
    pugi::xml_node n = top.first_child();
    while (n) {
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) out += n.value();
        if (n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n && n != top && !n.next_sibling()) n = n.parent();
        if (!n || n == top) break;
        n = n.next_sibling();
    }
    return QString::fromUtf8(out);
}

QString XmlElement::childText(const char* name) const
{
    return firstChild(name).text();
}

XmlDocument::XmlDocument() : doc_(std::make_unique<pugi::xml_document>()) {}

XmlDocument::~XmlDocument() = default;

bool XmlDocument::loadFile(const QString& path, QString* error)
{
    doc_->reset();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = f.errorString();
        return false;
    }
    if (f.size() > kMaxBytes) {
        if (error) *error = QStringLiteral("file too large");
        return false;
    }
    return loadData(f.read(kMaxBytes + 1), error);
}

bool XmlDocument::loadData(const QByteArray& data, QString* error)
{
    doc_->reset();
    if (data.size() > kMaxBytes) {
        if (error) *error = QStringLiteral("file too large");
        return false;
    }
    const pugi::xml_parse_result r = doc_->load_buffer(data.constData(), size_t(data.size()),
                                                       pugi::parse_default, pugi::encoding_auto);
    if (!r || !doc_->document_element()) {
        if (error) *error = QString::fromUtf8(r ? "no root element" : r.description());
        doc_->reset();
        return false;
    }
    return true;
}

XmlElement XmlDocument::root() const
{
    pugi::xml_node e = doc_->document_element();
    return e ? XmlElement(e.internal_object()) : XmlElement();
}
