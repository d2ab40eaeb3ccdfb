// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The XML of the package's parts through pugixml: parsed keeping every character of text, and
// written back without reformatting. Elements are matched by local name, so a part written
// with a namespace prefix (<x:row>) reads the same as one without.

#include <QByteArray>
#include <QString>
#include <memory>
#include <pugixml.hpp>
#include <vector>

#include "office/result.h"

namespace office::ooxml {

using Document = std::unique_ptr<pugi::xml_document>;

Result<Document> parseXml(const QByteArray& bytes, const QString& partName);
QByteArray writeXml(const pugi::xml_document& document);
// A part of a new package: the XML declaration, then `body`.
QByteArray xmlPart(const QByteArray& body);

std::string_view localName(const pugi::xml_node& node);
std::string_view localName(const pugi::xml_attribute& attribute);
pugi::xml_node child(const pugi::xml_node& parent, std::string_view local);
std::vector<pugi::xml_node> children(const pugi::xml_node& parent, std::string_view local);
pugi::xml_attribute attribute(const pugi::xml_node& node, std::string_view local);
// The name to give a new element beside `sibling`: `local` with the sibling's prefix.
std::string qualifiedLike(const pugi::xml_node& sibling, std::string_view local);

QString text(const pugi::xml_attribute& attribute);

// One relationship of a part: where its target part is inside the package.
struct Relationship {
    QString id;
    QString type;
    QString target;  // the part name, resolved; empty for an external target
};

// The relationships part of `partName` ("xl/workbook.xml" -> "xl/_rels/workbook.xml.rels").
QString relationshipsPartOf(const QString& partName);
Result<std::vector<Relationship>> parseRelationships(const QByteArray& bytes,
                                                     const QString& sourcePart);
// Whether a relationship type names `kind` ("worksheet", "sharedStrings"), in either namespace
// of relationship types.
bool isType(const Relationship& relationship, const QString& kind);

}  // namespace office::ooxml
