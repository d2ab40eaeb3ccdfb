// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared formulas: a formula stored once in its first cell and used by the cells after it. A
// write that overwrites that first cell hands the formula on to the next cell that uses it, as
// the spreadsheet program does, so those cells keep their formulas.

#include <string>
#include <string_view>
#include <vector>

#include "office/ooxml_xml.h"

namespace office::xlsx {

// The XML helpers are shared with the .docx documents.
using namespace ooxml;

// The formula as it reads from a cell `rows` below and `columns` right of its own: relative
// references move, absolute ($) ones stay, a reference moved off the sheet becomes #REF!.
std::string shiftedFormula(std::string_view formula, int rows, int columns);

struct SharedFormula {
    std::string index;    // the si attribute
    std::string formula;  // as written in its first cell
    int row = 0;
    int column = 0;
};

// Stores each overwritten shared formula in the first cell that still uses it.
void handOnSharedFormulas(pugi::xml_node sheetData, const std::vector<SharedFormula>& overwritten);

}  // namespace office::xlsx
