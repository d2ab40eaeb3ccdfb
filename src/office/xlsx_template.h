#pragma once

#include "office/xlsx_package.h"

namespace office::xlsx {

// The parts of a new workbook: one empty sheet "Sheet1" and the default cell style.
Package newWorkbookPackage();

}  // namespace office::xlsx
