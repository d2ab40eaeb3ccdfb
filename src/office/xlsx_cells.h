// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The cells of a worksheet part: references ("B3"), values as the spreadsheet program stores
// typed-in text, and a rectangle of cells written into <sheetData> in ascending order.

#include <QChar>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "office/ooxml_xml.h"
#include "office/result.h"
#include "office/spreadsheet.h"

namespace office::xlsx {

// The XML helpers are shared with the .docx documents.
using namespace ooxml;

constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;
constexpr int kMaxCellText = 32767;

struct CellPosition {
    int row = 0;     // from 1
    int column = 0;  // from 1
};

std::string columnLetters(int column);
std::string cellReference(int row, int column);
std::optional<CellPosition> parseReference(std::string_view reference);

// The stored number of a text typed into a cell, or nothing when the text is to stay text: a
// number only when writing the number back gives exactly the same text, with `decimalPoint`
// as its decimal character ("12", "-0.25"; not "007", "1E3", "+4", "2.50" nor more than 15
// significant digits, which the spreadsheet program would not keep).
std::optional<std::string> numberValue(const QString& text, QChar decimalPoint);

// A text as a cell string: control characters the XML cannot carry are written as _xHHHH_,
// and a text that already looks like such an escape is escaped itself.
std::string escapedText(const QString& text);

// Gives every <row> and <c> of the sheet an explicit reference (the attribute is optional in
// the file), so cells can be found and placed by position.
void numberRowsAndCells(pugi::xml_node sheetData);

struct WriteOutcome {
    bool formulaRemoved = false;  // a written cell held a formula
};

// Writes `cells` with its first cell at `origin`: a plain number as a number, any other text
// as an inline string (cut to 32767 characters), an empty text clears the cell's value (its
// style stays). Only the written cells change. The range must fit the sheet, and may not put
// a value into a cell that a merge covers (one but its first cell), where nobody would see it.
// With `Typing::Text`, every text is a string (table headers, whose cells are always text).
enum class Typing { AsTyped, Text };
Result<WriteOutcome> writeCells(pugi::xml_node worksheet, CellPosition origin, const Grid& cells,
                                QChar decimalPoint, Typing typing = Typing::AsTyped);

// The text a cell shows, near enough for sizing its column: its string, shared string or
// stored value.
QString cellText(const pugi::xml_node& cell, const std::vector<QString>& sharedStrings);

// The strings of a shared string table part, in index order.
Result<std::vector<QString>> parseSharedStrings(const QByteArray& bytes, const QString& partName);

}  // namespace office::xlsx
