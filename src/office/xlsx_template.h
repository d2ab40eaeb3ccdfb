// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "office/ooxml_package.h"

namespace office::xlsx {

using ooxml::Package;

// How messages name a workbook file.
ooxml::FileKind workbookFile();

// The parts of a new workbook: one empty sheet "Sheet1" and the default cell style.
Package newWorkbookPackage();

}  // namespace office::xlsx
