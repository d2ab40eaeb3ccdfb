// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The changes the document output makes to a document's body: the section that a block goes
// into turned to a landscape page, and a block of lines added at the start or the end, as
// paragraphs or as a table.

#include <QStringList>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "office/docx_template.h"
#include "office/word_processor.h"

namespace office::docx {

// Element and attribute names in the main namespace of a document, whatever prefix (or none)
// the document uses for it: new nodes get a prefix bound to that namespace on the root.
class WordNames {
public:
    explicit WordNames(pugi::xml_node root);
    std::string operator()(std::string_view local) const { return m_prefix + std::string(local); }

private:
    std::string m_prefix;  // "w:" in nearly every document
};

// Turns the page of the section that a block added at the end (or the start) of the body goes
// into to landscape: width and height swapped, and the top and bottom margins with the left
// and right ones, when the page was portrait. The other sections keep their pages. Returns
// whether anything changed.
bool setLandscape(pugi::xml_node body, const WordNames& names, Paper paper, bool atEnd);

// Text in one type size: lines as paragraphs, or rows of cells as a table.
struct Block {
    QStringList lines;              // without a table
    std::vector<QStringList> rows;  // with a table: each cell's text whole, tabs and all
    int pointSize = 8;
    std::optional<TableFormat> table;
    std::string tableStyle;  // the style id the table names; empty for none
};

// Adds the block at the start of the body or at its end (before the body's section properties).
void insertBlock(pugi::xml_node body, const WordNames& names, bool atEnd, const Block& block);

}  // namespace office::docx
