// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "office/spreadsheet.h"

namespace office {

// A started spreadsheet session over .xlsx workbook files, with no workbook open. New
// workbooks are saved in `newWorkbookFolder` as Book1.xlsx, Book2.xlsx, ... (the first name not
// taken); an empty folder means the user's documents folder. Besides ".", the decimal
// character of the default locale (the system's) makes a text a number.
Result<std::shared_ptr<Spreadsheet>> startXlsxSpreadsheet(QString newWorkbookFolder);

}  // namespace office
