// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/xlsx_cells.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include "office/xlsx_formulas.h"

namespace office::xlsx {
namespace {

int positiveNumber(const pugi::xml_node& node, std::string_view name) {
    const pugi::xml_attribute found = attribute(node, name);
    if (!found) return 0;
    // Beyond the sheet's last row counts as missing, so counting on from it cannot overflow.
    const int value = found.as_int(0);
    return value > 0 && value <= kMaxRows ? value : 0;
}

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

void setReference(pugi::xml_node node, const std::string& value) {
    pugi::xml_attribute r = node.attribute("r");
    if (!r) r = node.prepend_attribute("r");
    r.set_value(value.c_str());
}

// Empties a cell of its value and type, keeping its style. Reports whether it held a formula.
bool clearValue(pugi::xml_node cell) {
    bool formula = false;
    while (pugi::xml_node node = cell.first_child()) {
        if (node.type() == pugi::node_element && localName(node) == "f") formula = true;
        cell.remove_child(node);
    }
    for (pugi::xml_attribute a = cell.first_attribute(); a;) {
        const pugi::xml_attribute next = a.next_attribute();
        const std::string_view name = a.name();
        if (name != "r" && name != "s") cell.remove_attribute(a);
        a = next;
    }
    return formula;
}

void setValue(pugi::xml_node cell, const QString& text, QChar decimalPoint, Typing typing) {
    const auto number = typing == Typing::AsTyped ? numberValue(text, decimalPoint) : std::nullopt;
    if (number) {
        cell.append_child(qualifiedLike(cell, "v").c_str()).text().set(number->c_str());
        return;
    }
    cell.append_attribute("t").set_value("inlineStr");
    pugi::xml_node is = cell.append_child(qualifiedLike(cell, "is").c_str());
    pugi::xml_node t = is.append_child(qualifiedLike(cell, "t").c_str());
    const bool blanksAtEnds = text.front().isSpace() || text.back().isSpace();
    if (blanksAtEnds || text.contains(QLatin1Char('\n'))) {
        t.append_attribute("xml:space").set_value("preserve");
    }
    // A cell holds at most 32767 characters; the spreadsheet program refuses longer ones.
    t.text().set(escapedText(text.left(kMaxCellText)).c_str());
}

// The text of a string item (<si> or <is>): its own <t>, or the <t> of each rich-text run.
QString stringItemText(const pugi::xml_node& item) {
    QString result;
    for (pugi::xml_node node = item.first_child(); node; node = node.next_sibling()) {
        if (localName(node) == "t") {
            result += QString::fromUtf8(node.text().get());
        } else if (localName(node) == "r") {
            result += QString::fromUtf8(child(node, "t").text().get());
        }
    }
    return result;
}

// Whether the range from `origin` to (lastRow, lastColumn) covers part, but not all, of the
// cells of an array formula or a data table: those change as a whole or not at all.
bool cutsAcrossArray(const pugi::xml_node& f, CellPosition origin, long long lastRow,
                     long long lastColumn) {
    if (!f) return false;
    const std::string_view type = attribute(f, "t").value();
    if (type != "array" && type != "dataTable") return false;
    const std::string ref = attribute(f, "ref").value();
    const size_t colon = ref.find(':');
    const auto first = parseReference(std::string_view(ref).substr(0, colon));
    const auto last = colon == std::string::npos
                          ? first
                          : parseReference(std::string_view(ref).substr(colon + 1));
    if (!first || !last) return false;
    const bool meets = first->row <= lastRow && last->row >= origin.row &&
                       first->column <= lastColumn && last->column >= origin.column;
    const bool holds = first->row >= origin.row && last->row <= lastRow &&
                       first->column >= origin.column && last->column <= lastColumn;
    return meets && !holds;
}

// The cells of the written range that a merge covers: every cell of a merge but its first one,
// which alone shows a value. Writing a value there would put it where nobody sees it, so that is
// refused, naming the merge; an empty value there is left alone.
Result<std::set<std::pair<int, int>>> coveredCells(const pugi::xml_node& worksheet,
                                                   CellPosition origin, const Grid& cells,
                                                   long long lastRow, long long lastColumn) {
    std::set<std::pair<int, int>> covered;
    for (const pugi::xml_node& merge : children(child(worksheet, "mergeCells"), "mergeCell")) {
        const std::string ref = attribute(merge, "ref").value();
        const size_t colon = ref.find(':');
        if (colon == std::string::npos) continue;
        const auto first = parseReference(std::string_view(ref).substr(0, colon));
        const auto last = parseReference(std::string_view(ref).substr(colon + 1));
        if (!first || !last) continue;
        const long long top = std::max(first->row, origin.row);
        const long long bottom = std::min<long long>(last->row, lastRow);
        const long long left = std::max(first->column, origin.column);
        const long long right = std::min<long long>(last->column, lastColumn);
        for (long long r = top; r <= bottom; ++r) {
            const std::vector<QString>& values = cells[static_cast<size_t>(r - origin.row)];
            for (long long c = left; c <= right; ++c) {
                if (r == first->row && c == first->column) continue;
                const size_t j = static_cast<size_t>(c - origin.column);
                if (j < values.size() && !values[j].isEmpty()) {
                    return Error{1004, QStringLiteral("Cannot write into the merged cells ") +
                                           QString::fromStdString(ref) +
                                           QStringLiteral(": only their first cell is shown.")};
                }
                covered.emplace(static_cast<int>(r), static_cast<int>(c));
            }
        }
    }
    return covered;
}

}  // namespace

std::string columnLetters(int column) {
    std::string letters;
    while (column > 0) {
        const int digit = (column - 1) % 26;
        letters.insert(letters.begin(), static_cast<char>('A' + digit));
        column = (column - 1) / 26;
    }
    return letters;
}

std::string cellReference(int row, int column) {
    return columnLetters(column) + std::to_string(row);
}

std::optional<CellPosition> parseReference(std::string_view reference) {
    CellPosition position;
    size_t i = 0;
    if (i < reference.size() && reference[i] == '$') ++i;
    const size_t lettersStart = i;
    for (; i < reference.size(); ++i) {
        const char c = reference[i];
        const int letter = c >= 'A' && c <= 'Z' ? c - 'A' : c >= 'a' && c <= 'z' ? c - 'a' : -1;
        if (letter < 0) break;
        position.column = position.column * 26 + letter + 1;
        if (position.column > kMaxColumns) return std::nullopt;
    }
    if (i == lettersStart) return std::nullopt;
    if (i < reference.size() && reference[i] == '$') ++i;
    const size_t digitsStart = i;
    for (; i < reference.size(); ++i) {
        const char c = reference[i];
        if (c < '0' || c > '9') return std::nullopt;
        position.row = position.row * 10 + (c - '0');
        if (position.row > kMaxRows) return std::nullopt;
    }
    if (i == digitsStart || position.row == 0) return std::nullopt;
    return position;
}

std::optional<std::string> numberValue(const QString& text, QChar decimalPoint) {
    static const QRegularExpression plain(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    // A text is a number only when the number, written back, is that very text: "007", "1E3",
    // "+4" or "2.50" are tag numbers and codes, not values, and stay as they were typed.
    QString candidate = text;
    if (decimalPoint != QLatin1Char('.')) {
        if (candidate.contains(QLatin1Char('.'))) return std::nullopt;
        candidate.replace(decimalPoint, QLatin1Char('.'));
    }
    if (candidate.isEmpty() || candidate.size() > 40 || !plain.match(candidate).hasMatch()) {
        return std::nullopt;
    }
    const QByteArray ascii = candidate.toLatin1();
    char* end = nullptr;
    const double value = std::strtod(ascii.constData(), &end);
    if (end != ascii.constData() + ascii.size() || !std::isfinite(value)) return std::nullopt;
    // The spreadsheet program keeps 15 significant digits; a text that needs more, or that
    // only an exponent writes that way, changes when read back.
    char digits[40];
    std::snprintf(digits, sizeof digits, "%.15g", value);
    if (ascii != digits || (value == 0 && ascii.startsWith('-'))) return std::nullopt;
    return std::string(digits);
}

std::string escapedText(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    std::string out;
    out.reserve(static_cast<size_t>(utf8.size()));
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "_x%04X_", c);
            out += escape;
            continue;
        }
        if (c == '_' && i + 6 < utf8.size() && utf8[i + 1] == 'x' && isHex(utf8[i + 2]) &&
            isHex(utf8[i + 3]) && isHex(utf8[i + 4]) && isHex(utf8[i + 5]) && utf8[i + 6] == '_') {
            out += "_x005F_";  // the underscore itself, escaped
            continue;
        }
        out += static_cast<char>(c);
    }
    return out;
}

void numberRowsAndCells(pugi::xml_node sheetData) {
    int previousRow = 0;
    for (pugi::xml_node row : children(sheetData, "row")) {
        const int number = positiveNumber(row, "r");
        previousRow = number > 0 ? number : previousRow + 1;
        if (number == 0) setReference(row, std::to_string(previousRow));
        int previousColumn = 0;
        for (pugi::xml_node cell : children(row, "c")) {
            const auto position = parseReference(attribute(cell, "r").value());
            previousColumn = position ? position->column : previousColumn + 1;
            if (!position || position->row != previousRow) {
                setReference(cell, cellReference(previousRow, previousColumn));
            }
        }
    }
}

Result<WriteOutcome> writeCells(pugi::xml_node worksheet, CellPosition origin, const Grid& cells,
                                QChar decimalPoint, Typing typing) {
    size_t width = 0;
    for (const auto& row : cells) width = std::max(width, row.size());
    const long long lastRow = origin.row + static_cast<long long>(cells.size()) - 1;
    const long long lastColumn = origin.column + static_cast<long long>(width) - 1;
    if (origin.row < 1 || origin.column < 1 || lastRow > kMaxRows || lastColumn > kMaxColumns) {
        return Error{1004, QStringLiteral("The range does not fit the sheet (at most 1048576 "
                                          "rows and 16384 columns).")};
    }
    WriteOutcome outcome;
    if (cells.empty() || width == 0) return outcome;
    pugi::xml_node sheetData = child(worksheet, "sheetData");
    if (!sheetData) {
        return Error{1004, QStringLiteral("The sheet has no cell table (<sheetData>).")};
    }
    numberRowsAndCells(sheetData);
    // A sheet without cells records its extent as "A1", which is not a cell to keep within it.
    bool hadCells = false;
    std::map<int, pugi::xml_node> rows;
    for (pugi::xml_node row : children(sheetData, "row")) {
        rows.emplace(positiveNumber(row, "r"), row);
        hadCells |= static_cast<bool>(child(row, "c"));
        for (const pugi::xml_node& cell : children(row, "c")) {
            if (cutsAcrossArray(child(cell, "f"), origin, lastRow, lastColumn)) {
                return Error{1004, QStringLiteral("Cannot change part of an array.")};
            }
        }
    }
    const auto covered = coveredCells(worksheet, origin, cells, lastRow, lastColumn);
    if (!covered) return covered.error();
    std::vector<SharedFormula> overwrittenShared;
    const std::string rowName = qualifiedLike(sheetData, "row");
    const std::string cellName = qualifiedLike(sheetData, "c");
    for (size_t i = 0; i < cells.size(); ++i) {
        const std::vector<QString>& values = cells[i];
        if (values.empty()) continue;
        const int r = origin.row + static_cast<int>(i);
        pugi::xml_node row;
        if (auto found = rows.find(r); found != rows.end()) {
            row = found->second;
        } else if (std::all_of(values.begin(), values.end(),
                               [](const QString& value) { return value.isEmpty(); })) {
            continue;  // nothing to clear where there is no row
        } else {
            const auto after = rows.upper_bound(r);
            row = after == rows.end()
                      ? sheetData.append_child(rowName.c_str())
                      : sheetData.insert_child_before(rowName.c_str(), after->second);
            row.append_attribute("r").set_value(r);
            rows.emplace(r, row);
        }
        row.remove_attribute("spans");  // a hint of the cells' extent that may no longer hold
        std::map<int, pugi::xml_node> rowCells;
        for (pugi::xml_node cell : children(row, "c")) {
            if (const auto position = parseReference(attribute(cell, "r").value())) {
                rowCells.emplace(position->column, cell);
            }
        }
        for (size_t j = 0; j < values.size(); ++j) {
            const int c = origin.column + static_cast<int>(j);
            if (covered.value().count({r, c})) continue;
            const QString& value = values[j];
            pugi::xml_node cell;
            if (auto found = rowCells.find(c); found != rowCells.end()) {
                cell = found->second;
                const pugi::xml_node f = child(cell, "f");
                if (f && std::string_view(attribute(f, "t").value()) == "shared" &&
                    *f.text().get() && attribute(f, "si")) {
                    overwrittenShared.push_back(
                        SharedFormula{attribute(f, "si").value(), f.text().get(), r, c});
                }
                outcome.formulaRemoved |= clearValue(cell);
            } else if (value.isEmpty()) {
                continue;
            } else {
                // Before the next cell, or before the row's extension list, which comes last.
                const auto after = rowCells.upper_bound(c);
                const pugi::xml_node next =
                    after == rowCells.end() ? child(row, "extLst") : after->second;
                cell = next ? row.insert_child_before(cellName.c_str(), next)
                            : row.append_child(cellName.c_str());
                cell.append_attribute("r").set_value(cellReference(r, c).c_str());
                rowCells.emplace(c, cell);
            }
            if (value.isEmpty()) {
                // A cleared cell without a style of its own is no cell at all.
                if (!cell.attribute("s")) {
                    row.remove_child(cell);
                    rowCells.erase(c);
                }
                continue;
            }
            setValue(cell, value, decimalPoint, typing);
        }
    }
    handOnSharedFormulas(sheetData, overwrittenShared);
    // The sheet's recorded extent grows to hold the written cells.
    if (pugi::xml_node dimension = child(worksheet, "dimension")) {
        const std::string ref = attribute(dimension, "ref").value();
        const size_t colon = ref.find(':');
        auto first = parseReference(std::string_view(ref).substr(0, colon));
        auto last = colon == std::string::npos
                        ? first
                        : parseReference(std::string_view(ref).substr(colon + 1));
        CellPosition top{origin.row, origin.column};
        CellPosition bottom{static_cast<int>(lastRow), static_cast<int>(lastColumn)};
        if (first && last && hadCells) {
            top = {std::min(top.row, first->row), std::min(top.column, first->column)};
            bottom = {std::max(bottom.row, last->row), std::max(bottom.column, last->column)};
        }
        const std::string extent =
            cellReference(top.row, top.column) + ":" + cellReference(bottom.row, bottom.column);
        pugi::xml_attribute refAttribute = dimension.attribute("ref");
        if (!refAttribute) refAttribute = dimension.append_attribute("ref");
        refAttribute.set_value(extent.c_str());
    }
    return outcome;
}

QString cellText(const pugi::xml_node& cell, const std::vector<QString>& sharedStrings) {
    const std::string_view type = attribute(cell, "t").value();
    if (type == "inlineStr") return stringItemText(child(cell, "is"));
    const char* value = child(cell, "v").text().get();
    if (type == "s") {
        char* end = nullptr;
        const unsigned long index = std::strtoul(value, &end, 10);
        if (end == value || index >= sharedStrings.size()) return {};
        return sharedStrings[index];
    }
    return QString::fromUtf8(value);
}

Result<std::vector<QString>> parseSharedStrings(const QByteArray& bytes, const QString& partName) {
    auto parsed = parseXml(bytes, partName);
    if (!parsed) return parsed.error();
    std::vector<QString> strings;
    for (const pugi::xml_node& item : children(parsed.value()->document_element(), "si")) {
        strings.push_back(stringItemText(item));
    }
    return strings;
}

}  // namespace office::xlsx
