#pragma once

#include "platform/office/xlsx_package.h"

namespace platform::office::xlsx {

// The parts of a new workbook: one empty sheet "Sheet1" and the default cell style.
Package newWorkbookPackage();

}  // namespace platform::office::xlsx
