// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Column widths of a worksheet part (<cols>), set one column at a time while every other
// property of a column range (style, hidden, outline) stays.

#include <map>

#include "office/ooxml_xml.h"

namespace office::xlsx {

// The XML helpers are shared with the .docx documents.
using namespace ooxml;

// The width that fits a text of `characters` characters, in the sheet's character units.
double fittedWidth(int characters);

// Sets the width of each column in `widths` (column from 1 -> width), splitting the column
// ranges that cover more than that column.
void setColumnWidths(pugi::xml_node worksheet, const std::map<int, double>& widths);

}  // namespace office::xlsx
