// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/docx_body.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <numeric>
#include <vector>

#include "office/ooxml_xml.h"

namespace office::docx {
namespace {

using ooxml::attribute;
using ooxml::child;
using ooxml::localName;

constexpr std::string_view kMainNamespace =
    "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr std::string_view kStrictMainNamespace =
    "http://purl.oclc.org/ooxml/wordprocessingml/main";

// Columns are fitted before any program lays the text out, and the font may be replaced by a
// wider one where it is missing: a character gets 0.7 of the type size (capitals of a wide
// sans-serif font), plus one spare, besides the cell's own margins of 108 twips either side.
constexpr int kTwipsPerCharacterPoint = 14;
constexpr int kCellMargins = 216;
constexpr int kNarrowestColumn = 360;
// The width of the text on a landscape Letter page with 1-inch margins, when the section does
// not say.
constexpr int kDefaultTextWidth = 12960;
constexpr char kHeadingShade[] = "D9D9D9";

pugi::xml_node lastElement(pugi::xml_node parent) {
    for (pugi::xml_node node = parent.last_child(); node; node = node.previous_sibling()) {
        if (node.type() == pugi::node_element) return node;
    }
    return {};
}

pugi::xml_node firstElement(pugi::xml_node parent) {
    for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element) return node;
    }
    return {};
}

// The body's own section properties, those of its last section: its last element when that is
// a sectPr.
pugi::xml_node bodySection(pugi::xml_node body) {
    const pugi::xml_node last = lastElement(body);
    return last && localName(last) == "sectPr" ? last : pugi::xml_node();
}

// Whether `node` is the section properties of a paragraph of the body (directly or inside
// content controls), which end a section before the last. Those of a tracked change
// (sectPrChange, pPrChange) are the old ones and do not count.
bool endsASection(pugi::xml_node node, pugi::xml_node body) {
    if (node.type() != pugi::node_element || localName(node) != "sectPr") return false;
    const pugi::xml_node properties = node.parent();
    const pugi::xml_node paragraph = properties.parent();
    if (localName(properties) != "pPr" || localName(paragraph) != "p") return false;
    for (pugi::xml_node up = paragraph.parent(); up != body; up = up.parent()) {
        if (!up) return false;
        const std::string_view local = localName(up);
        if (local != "sdt" && local != "sdtContent" && local != "customXml") return false;
    }
    return true;
}

// The section properties of the section that a block added at the end or the start of the body
// goes into: the last section's, or those of the first section break (the body's own when there
// is only one section). Null when the document has none.
pugi::xml_node sectionAt(pugi::xml_node body, bool atEnd) {
    if (!atEnd) {
        // find_node walks without recursion, however deeply the body nests.
        const pugi::xml_node first =
            body.find_node([&](pugi::xml_node node) { return endsASection(node, body); });
        if (first) return first;
    }
    return bodySection(body);
}

void setValue(pugi::xml_node node, const WordNames& names, std::string_view local,
              const std::string& value) {
    pugi::xml_attribute found = attribute(node, local);
    if (!found) found = node.append_attribute(names(local).c_str());
    found.set_value(value.c_str());
}

// A measure in twips; what is not a number, or is out of range, reads as 0.
int twips(pugi::xml_node node, std::string_view local) {
    const char* text = attribute(node, local).value();
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || value > INT_MAX || value < INT_MIN) return 0;
    return static_cast<int>(value);
}

// Text as XML can hold it: characters that XML 1.0 forbids (control characters, unpaired
// surrogates) are left out rather than making the whole part unreadable.
std::string xmlText(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            kept += c;
            kept += text[++i];
            continue;
        }
        if (c.isSurrogate()) continue;
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != '\t') || u == 0xFFFE || u == 0xFFFF) continue;
        kept += c;
    }
    return kept.toStdString();
}

class BlockWriter {
public:
    BlockWriter(const WordNames& names, const Block& block)
        : m_names(names), m_halfPoints(std::to_string(block.pointSize * 2)) {}

    // Size (and weight) of a run or of a paragraph mark.
    void runProperties(pugi::xml_node parent, bool bold) const {
        pugi::xml_node rPr = parent.append_child(m_names("rPr").c_str());
        if (bold) {
            rPr.append_child(m_names("b").c_str());
            rPr.append_child(m_names("bCs").c_str());
        }
        setValue(rPr.append_child(m_names("sz").c_str()), m_names, "val", m_halfPoints);
        setValue(rPr.append_child(m_names("szCs").c_str()), m_names, "val", m_halfPoints);
    }

    // A paragraph of default formatting whose text is in the block's type size; tabs in the
    // text stay tabs.
    pugi::xml_node paragraph(pugi::xml_node parent, pugi::xml_node before, const QString& text,
                             bool bold) const {
        pugi::xml_node p = before ? parent.insert_child_before(m_names("p").c_str(), before)
                                  : parent.append_child(m_names("p").c_str());
        runProperties(p.append_child(m_names("pPr").c_str()), bold);
        if (text.isEmpty()) return p;
        pugi::xml_node run = p.append_child(m_names("r").c_str());
        runProperties(run, bold);
        const QStringList pieces = text.split(QLatin1Char('\t'));
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            if (i > 0) run.append_child(m_names("tab").c_str());
            if (pieces[i].isEmpty()) continue;
            pugi::xml_node t = run.append_child(m_names("t").c_str());
            t.append_attribute("xml:space").set_value("preserve");
            t.text().set(xmlText(pieces[i]).c_str());
        }
        return p;
    }

    void borders(pugi::xml_node parent, std::initializer_list<std::string_view> sides) const {
        for (std::string_view side : sides) {
            pugi::xml_node border = parent.append_child(m_names(side).c_str());
            setValue(border, m_names, "val", "single");
            setValue(border, m_names, "sz", "4");
            setValue(border, m_names, "space", "0");
            setValue(border, m_names, "color", "auto");
        }
    }

private:
    const WordNames& m_names;
    std::string m_halfPoints;
};

// Column widths that fit the longest text of each column. When the table would be wider than
// the page's text, the columns share that width in proportion to their text, each keeping at
// least the narrowest width (so a long note takes the room the short columns leave).
std::vector<int> fittedWidths(const std::vector<QStringList>& rows, size_t columns, int pointSize,
                              int textWidth) {
    // Counted in 64 bits: a single long value times the type size overflows an int.
    const long long perCharacter = static_cast<long long>(kTwipsPerCharacterPoint) * pointSize;
    std::vector<long long> wanted(columns, kNarrowestColumn);
    for (const QStringList& row : rows) {
        for (size_t c = 0; c < columns && c < static_cast<size_t>(row.size()); ++c) {
            const auto characters =
                static_cast<long long>(row[static_cast<qsizetype>(c)].toUcs4().size());
            wanted[c] = std::max(wanted[c], (characters + 1) * perCharacter + kCellMargins);
        }
    }
    std::vector<int> widths(columns, kNarrowestColumn);
    const long long total = std::accumulate(wanted.begin(), wanted.end(), 0LL);
    if (total <= textWidth) {
        for (size_t c = 0; c < columns; ++c) widths[c] = static_cast<int>(wanted[c]);
        return widths;
    }
    // From the narrowest column up: one whose share would be below the narrowest width gets that
    // width, and the others share what is left.
    std::vector<size_t> order(columns);
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return wanted[a] < wanted[b]; });
    double room = textWidth;
    double rest = static_cast<double>(total);
    for (size_t c : order) {
        const double share = room > 0 ? static_cast<double>(wanted[c]) * room / rest : 0;
        widths[c] = share < kNarrowestColumn ? kNarrowestColumn : static_cast<int>(share);
        room -= widths[c];
        rest -= static_cast<double>(wanted[c]);
    }
    return widths;
}

// The width of the text on the pages of `section`: the page's width less its side margins.
int textWidth(pugi::xml_node section) {
    const long long page = twips(child(section, "pgSz"), "w");
    const pugi::xml_node margins = child(section, "pgMar");
    const long long width = page - twips(margins, "left") - twips(margins, "right");
    return page > 0 && width > 0 && width <= INT_MAX ? static_cast<int>(width) : kDefaultTextWidth;
}

void insertTable(pugi::xml_node body, pugi::xml_node before, pugi::xml_node section,
                 const WordNames& names, const Block& block, const BlockWriter& writer) {
    const std::vector<QStringList>& rows = block.rows;
    size_t columns = 1;
    for (const QStringList& row : rows) {
        columns = std::max(columns, static_cast<size_t>(row.size()));
    }
    const std::vector<int> widths =
        fittedWidths(rows, columns, block.pointSize, textWidth(section));
    const bool heading = block.table->headingRow;
    const auto add = [&](pugi::xml_node parent, std::string_view local) {
        return parent.append_child(names(local).c_str());
    };

    pugi::xml_node table = before ? body.insert_child_before(names("tbl").c_str(), before)
                                  : body.append_child(names("tbl").c_str());
    pugi::xml_node properties = add(table, "tblPr");
    if (!block.tableStyle.empty())
        setValue(add(properties, "tblStyle"), names, "val", block.tableStyle);
    pugi::xml_node tableWidth = add(properties, "tblW");
    setValue(tableWidth, names, "w", "0");
    setValue(tableWidth, names, "type", "auto");
    writer.borders(add(properties, "tblBorders"),
                   {"top", "left", "bottom", "right", "insideH", "insideV"});
    setValue(add(properties, "tblLayout"), names, "type", "autofit");
    pugi::xml_node look = add(properties, "tblLook");
    setValue(look, names, "val", heading ? "0620" : "0600");
    setValue(look, names, "firstRow", heading ? "1" : "0");
    setValue(look, names, "lastRow", "0");
    setValue(look, names, "firstColumn", "0");
    setValue(look, names, "lastColumn", "0");
    setValue(look, names, "noHBand", "1");
    setValue(look, names, "noVBand", "1");

    pugi::xml_node grid = add(table, "tblGrid");
    for (int width : widths) setValue(add(grid, "gridCol"), names, "w", std::to_string(width));

    for (size_t r = 0; r < rows.size(); ++r) {
        const bool headingRow = heading && r == 0;
        pugi::xml_node row = add(table, "tr");
        if (headingRow) add(add(row, "trPr"), "tblHeader");
        for (size_t c = 0; c < columns; ++c) {
            pugi::xml_node cell = add(row, "tc");
            pugi::xml_node cellProperties = add(cell, "tcPr");
            pugi::xml_node cellWidth = add(cellProperties, "tcW");
            setValue(cellWidth, names, "w", std::to_string(widths[c]));
            setValue(cellWidth, names, "type", "dxa");
            // Borders and shading on the cells themselves, so that a program that does not
            // apply table styles shows them too.
            writer.borders(add(cellProperties, "tcBorders"), {"top", "left", "bottom", "right"});
            if (headingRow) {
                pugi::xml_node shade = add(cellProperties, "shd");
                setValue(shade, names, "val", "clear");
                setValue(shade, names, "color", "auto");
                setValue(shade, names, "fill", kHeadingShade);
            }
            const QStringList& cells = rows[r];
            const QString text = c < static_cast<size_t>(cells.size())
                                     ? cells[static_cast<qsizetype>(c)]
                                     : QString();
            writer.paragraph(cell, pugi::xml_node(), text, headingRow);
        }
    }
    // A paragraph after the table keeps it apart from a table that follows (two tables in a
    // row would be shown as one) and gives the body the paragraph it must end with.
    writer.paragraph(body, before, QString(), false);
}

// A name a namespace prefix may be (an XML NCName): a letter or '_' first, then letters, digits,
// '.', '-' and '_'; bytes of characters outside ASCII are taken as letters.
bool isPrefixName(std::string_view name) {
    const auto letter = [](unsigned char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80;
    };
    if (name.empty() || !letter(static_cast<unsigned char>(name.front()))) return false;
    return std::all_of(name.begin(), name.end(), [&](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return letter(c) || (c >= '0' && c <= '9') || c == '.' || c == '-';
    });
}

}  // namespace

WordNames::WordNames(pugi::xml_node root) {
    std::vector<std::string_view> declared;
    for (pugi::xml_attribute a = root.first_attribute(); a; a = a.next_attribute()) {
        const std::string_view name = a.name();
        const std::string_view value = a.value();
        if (name.substr(0, 6) != "xmlns:") continue;
        const std::string_view prefix = name.substr(6);
        declared.push_back(prefix);
        // A prefix that is no name ("xmlns:7") would make every element written with it
        // broken XML: such a declaration binds nothing.
        if ((value == kMainNamespace || value == kStrictMainNamespace) && isPrefixName(prefix)) {
            m_prefix = std::string(prefix) + ":";
            return;
        }
    }
    // The main namespace is the default one (or bound deeper down): bind a prefix of our own,
    // since attributes without a prefix belong to no namespace.
    std::string free = "w";
    for (int n = 2; std::find(declared.begin(), declared.end(), free) != declared.end(); ++n)
        free = "w" + std::to_string(n);
    const std::string_view uri =
        std::string_view(root.attribute("xmlns").value()) == kStrictMainNamespace
            ? kStrictMainNamespace
            : kMainNamespace;
    root.append_attribute(("xmlns:" + free).c_str()).set_value(std::string(uri).c_str());
    m_prefix = free + ":";
}

bool setLandscape(pugi::xml_node body, const WordNames& names, Paper paper, bool atEnd) {
    pugi::xml_node section = sectionAt(body, atEnd);
    if (!section) section = body.append_child(names("sectPr").c_str());
    pugi::xml_node size = child(section, "pgSz");
    if (!size) {
        // The page size follows the header and footer references and the note settings.
        pugi::xml_node before;
        for (pugi::xml_node node = firstElement(section); node; node = node.next_sibling()) {
            const std::string_view local = localName(node);
            if (node.type() == pugi::node_element && local != "headerReference" &&
                local != "footerReference" && local != "footnotePr" && local != "endnotePr" &&
                local != "type") {
                before = node;
                break;
            }
        }
        size = before ? section.insert_child_before(names("pgSz").c_str(), before)
                      : section.append_child(names("pgSz").c_str());
    }
    int width = twips(size, "w");
    int height = twips(size, "h");
    if (width <= 0 || height <= 0) {
        width = paper == Paper::Letter ? 12240 : 11906;
        height = paper == Paper::Letter ? 15840 : 16838;
    }
    bool changed = false;
    if (width < height) {
        setValue(size, names, "w", std::to_string(height));
        setValue(size, names, "h", std::to_string(width));
        if (pugi::xml_node margins = child(section, "pgMar")) {
            // Left and right margins cannot be negative, as top and bottom ones may be.
            const auto swap = [&](std::string_view a, std::string_view b) {
                std::string first = attribute(margins, a).value();
                std::string second = attribute(margins, b).value();
                if (first.empty() || second.empty()) return;
                if (first.front() == '-') first.erase(0, 1);
                setValue(margins, names, a, second);
                setValue(margins, names, b, first);
            };
            swap("top", "left");
            swap("bottom", "right");
        }
        changed = true;
    } else if (!attribute(size, "w") || !attribute(size, "h")) {
        setValue(size, names, "w", std::to_string(width));
        setValue(size, names, "h", std::to_string(height));
        changed = true;
    }
    if (std::string_view(attribute(size, "orient").value()) != "landscape") {
        setValue(size, names, "orient", "landscape");
        changed = true;
    }
    return changed;
}

void insertBlock(pugi::xml_node body, const WordNames& names, bool atEnd, const Block& block) {
    pugi::xml_node before = atEnd ? bodySection(body) : firstElement(body);
    const BlockWriter writer(names, block);
    if (block.table) {
        if (!block.rows.empty()) {
            insertTable(body, before, sectionAt(body, atEnd), names, block, writer);
        }
        return;
    }
    for (const QString& line : block.lines) writer.paragraph(body, before, line, false);
}

}  // namespace office::docx
