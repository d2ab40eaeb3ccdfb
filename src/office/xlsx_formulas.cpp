// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/xlsx_formulas.h"

#include <algorithm>
#include <cctype>

#include "office/xlsx_cells.h"

namespace office::xlsx {
namespace {

bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '$' ||
           c == '\\' || static_cast<unsigned char>(c) >= 0x80;
}

// Splits "$AB$12" into its parts; false when the token is no cell reference.
struct Parts {
    bool columnFixed = false, rowFixed = false;
    std::string letters, digits;
};

Parts split(std::string_view token) {
    Parts parts;
    size_t i = 0;
    if (i < token.size() && token[i] == '$') parts.columnFixed = true, ++i;
    while (i < token.size() && std::isalpha(static_cast<unsigned char>(token[i]))) {
        parts.letters += static_cast<char>(std::toupper(static_cast<unsigned char>(token[i++])));
    }
    if (i < token.size() && token[i] == '$') {
        if (parts.letters.empty()) {
            parts.rowFixed = parts.columnFixed;
            parts.columnFixed = false;
        } else {
            parts.rowFixed = true;
        }
        ++i;
    }
    while (i < token.size() && std::isdigit(static_cast<unsigned char>(token[i]))) {
        parts.digits += token[i++];
    }
    if (i != token.size() || parts.letters.size() > 3 || parts.digits.size() > 7) return {};
    return parts;
}

int columnOf(const std::string& letters) {
    int column = 0;
    for (char c : letters) column = column * 26 + (c - 'A' + 1);
    return column;
}

// The token moved, or nothing when it is not a reference of the kind `kind` expects.
std::string moved(const Parts& parts, int rows, int columns, bool& offSheet) {
    std::string out;
    if (!parts.letters.empty()) {
        int column = columnOf(parts.letters);
        if (!parts.columnFixed) column += columns;
        if (column < 1 || column > kMaxColumns) offSheet = true;
        out += parts.columnFixed ? "$" : "";
        out += offSheet ? std::string("A") : columnLetters(column);
    }
    if (!parts.digits.empty()) {
        int row = std::stoi(parts.digits);
        if (!parts.rowFixed) row += rows;
        if (row < 1 || row > kMaxRows) offSheet = true;
        out += parts.rowFixed ? "$" : "";
        out += std::to_string(row);
    }
    return out;
}

}  // namespace

std::string shiftedFormula(std::string_view formula, int rows, int columns) {
    std::string out;
    size_t i = 0;
    while (i < formula.size()) {
        const char c = formula[i];
        if (c == '"' || c == '\'') {
            // A string or a quoted sheet name, with its doubled quotes, is copied as it is.
            const size_t start = i++;
            while (i < formula.size()) {
                if (formula[i] == c && i + 1 < formula.size() && formula[i + 1] == c) {
                    i += 2;
                } else if (formula[i++] == c) {
                    break;
                }
            }
            out.append(formula.substr(start, i - start));
            continue;
        }
        if (c == '[') {
            // Structured references and external workbook numbers hold no cell reference.
            const size_t start = i;
            int depth = 0;
            do {
                if (formula[i] == '[') ++depth;
                if (formula[i] == ']') --depth;
                ++i;
            } while (i < formula.size() && depth > 0);
            out.append(formula.substr(start, i - start));
            continue;
        }
        if (!isNameChar(c)) {
            out += c;
            ++i;
            continue;
        }
        const size_t start = i;
        while (i < formula.size() && isNameChar(formula[i])) ++i;
        const std::string_view token = formula.substr(start, i - start);
        const bool inRange =
            (start > 0 && formula[start - 1] == ':') || (i < formula.size() && formula[i] == ':');
        const bool function = i < formula.size() && formula[i] == '(';
        const bool sheetName = i < formula.size() && formula[i] == '!';
        const Parts parts = split(token);
        const bool cell = !parts.letters.empty() && !parts.digits.empty();
        const bool wholeLine = inRange && (parts.letters.empty() != parts.digits.empty());
        if (function || sheetName || !(cell || wholeLine)) {
            out.append(token);
            continue;
        }
        bool offSheet = false;
        const std::string shifted = moved(parts, rows, columns, offSheet);
        out += offSheet ? std::string("#REF!") : shifted;
    }
    return out;
}

void handOnSharedFormulas(pugi::xml_node sheetData, const std::vector<SharedFormula>& overwritten) {
    for (const SharedFormula& shared : overwritten) {
        pugi::xml_node heir;
        CellPosition heirPosition;
        CellPosition top{kMaxRows, kMaxColumns};
        CellPosition bottom{0, 0};
        for (const pugi::xml_node& row : children(sheetData, "row")) {
            for (const pugi::xml_node& cell : children(row, "c")) {
                const pugi::xml_node f = child(cell, "f");
                if (!f || std::string_view(attribute(f, "t").value()) != "shared" ||
                    shared.index != attribute(f, "si").value()) {
                    continue;
                }
                const auto position = parseReference(attribute(cell, "r").value());
                if (!position) continue;
                if (!heir) {
                    heir = f;
                    heirPosition = *position;
                }
                top = {std::min(top.row, position->row), std::min(top.column, position->column)};
                bottom = {std::max(bottom.row, position->row),
                          std::max(bottom.column, position->column)};
            }
        }
        if (!heir) continue;
        heir.text().set(shiftedFormula(shared.formula, heirPosition.row - shared.row,
                                       heirPosition.column - shared.column)
                            .c_str());
        const std::string range =
            cellReference(top.row, top.column) + ":" + cellReference(bottom.row, bottom.column);
        pugi::xml_attribute ref = heir.attribute("ref");
        if (!ref) ref = heir.append_attribute("ref");
        ref.set_value(range.c_str());
    }
}

}  // namespace office::xlsx
