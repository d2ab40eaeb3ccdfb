// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/send_request.h"
#include "output/send_services.h"

namespace output {

// The records as cells of a workbook's sheet from the request's row and column, the header row
// first with tags, rows and columns swapped with transpose. The workbook is left to the user
// in the desktop's spreadsheet program unless a drawing list sends.
SendResult sendToSpreadsheet(const SendRequest& request, const SendRecords& records,
                             SendServices& services);

// Only records in comma-delimited form ('A','B') split into fields: a space-delimited one would
// be sent as an empty row.
bool splitIntoFields(int width, const QStringList& records);

}  // namespace output
