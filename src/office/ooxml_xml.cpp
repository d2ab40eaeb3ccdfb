// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/ooxml_xml.h"

#include <QStringList>
#include <sstream>

namespace office::ooxml {
namespace {

constexpr long kMalformed = 1004;

// A text sink for pugixml that appends to a byte array.
class ByteWriter : public pugi::xml_writer {
public:
    explicit ByteWriter(QByteArray& out) : m_out(out) {}
    void write(const void* data, size_t size) override {
        m_out.append(static_cast<const char*>(data), static_cast<qsizetype>(size));
    }

private:
    QByteArray& m_out;
};

std::string_view afterColon(const char* name) {
    const std::string_view full(name);
    const size_t colon = full.find(':');
    return colon == std::string_view::npos ? full : full.substr(colon + 1);
}

// "xl/worksheets/../media/a.png" -> "xl/media/a.png"; empty when it climbs out of the package.
QString normalised(const QString& path) {
    QStringList kept;
    for (const QString& piece : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (piece == QLatin1String(".")) continue;
        if (piece == QLatin1String("..")) {
            if (kept.isEmpty()) return {};
            kept.removeLast();
            continue;
        }
        kept << piece;
    }
    return kept.join(QLatin1Char('/'));
}

}  // namespace

Result<Document> parseXml(const QByteArray& bytes, const QString& partName) {
    auto document = std::make_unique<pugi::xml_document>();
    const unsigned options = pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_declaration;
    const pugi::xml_parse_result parsed = document->load_buffer(
        bytes.constData(), static_cast<size_t>(bytes.size()), options, pugi::encoding_auto);
    if (!parsed) {
        return Error{kMalformed, QStringLiteral("The part '") + partName +
                                     QStringLiteral("' is not well-formed XML: ") +
                                     QString::fromUtf8(parsed.description()) +
                                     QStringLiteral(" at byte ") + QString::number(parsed.offset) +
                                     "."};
    }
    // Whatever the part was encoded in, it is written back as UTF-8.
    pugi::xml_node declaration = document->first_child();
    if (declaration.type() == pugi::node_declaration && declaration.attribute("encoding")) {
        declaration.attribute("encoding").set_value("UTF-8");
    }
    if (!document->document_element()) {
        return Error{kMalformed, QStringLiteral("The part '") + partName + "' has no content."};
    }
    return document;
}

QByteArray xmlPart(const QByteArray& body) {
    return QByteArrayLiteral(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)") +
           "\r\n" + body;
}

QByteArray writeXml(const pugi::xml_document& document) {
    QByteArray out;
    ByteWriter writer(out);
    // Keep the declaration as read (or add one when the part had none).
    const bool declared = document.first_child().type() == pugi::node_declaration;
    unsigned flags = pugi::format_raw;
    if (declared) flags |= pugi::format_no_declaration;
    document.save(writer, "", flags, pugi::encoding_utf8);
    return out;
}

std::string_view localName(const pugi::xml_node& node) {
    return afterColon(node.name());
}

std::string_view localName(const pugi::xml_attribute& attribute) {
    return afterColon(attribute.name());
}

pugi::xml_node child(const pugi::xml_node& parent, std::string_view local) {
    for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element && localName(node) == local) return node;
    }
    return {};
}

std::vector<pugi::xml_node> children(const pugi::xml_node& parent, std::string_view local) {
    std::vector<pugi::xml_node> found;
    for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element && localName(node) == local) found.push_back(node);
    }
    return found;
}

pugi::xml_attribute attribute(const pugi::xml_node& node, std::string_view local) {
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        if (localName(a) == local) return a;
    }
    return {};
}

std::string qualifiedLike(const pugi::xml_node& sibling, std::string_view local) {
    const std::string_view full(sibling.name());
    const size_t colon = full.find(':');
    std::string name;
    if (colon != std::string_view::npos) name.assign(full.substr(0, colon + 1));
    name.append(local);
    return name;
}

QString text(const pugi::xml_attribute& attribute) {
    return QString::fromUtf8(attribute.value());
}

QString relationshipsPartOf(const QString& partName) {
    const qsizetype slash = partName.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0 ? QString() : partName.left(slash + 1);
    return folder + QStringLiteral("_rels/") + partName.mid(slash + 1) + QStringLiteral(".rels");
}

Result<std::vector<Relationship>> parseRelationships(const QByteArray& bytes,
                                                     const QString& sourcePart) {
    auto parsed = parseXml(bytes, relationshipsPartOf(sourcePart));
    if (!parsed) return parsed.error();
    const qsizetype slash = sourcePart.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0 ? QString() : sourcePart.left(slash + 1);
    std::vector<Relationship> relationships;
    for (const pugi::xml_node& node :
         children(parsed.value()->document_element(), "Relationship")) {
        Relationship relationship;
        relationship.id = text(attribute(node, "Id"));
        relationship.type = text(attribute(node, "Type"));
        const QString target = text(attribute(node, "Target"));
        if (text(attribute(node, "TargetMode")) != QLatin1String("External")) {
            relationship.target =
                normalised(target.startsWith(QLatin1Char('/')) ? target : folder + target);
        }
        relationships.push_back(relationship);
    }
    return relationships;
}

bool isType(const Relationship& relationship, const QString& kind) {
    return relationship.type.endsWith(QLatin1Char('/') + kind);
}

}  // namespace office::ooxml
