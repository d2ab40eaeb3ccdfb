// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/send_request.h"
#include "output/send_services.h"

namespace output {

// The records as rows of a database table, in one transaction with the removal of the old rows
// (unless appending), so a send that fails leaves the table as it was. Outside a drawing list
// the user is asked before old rows are overwritten.
SendResult sendToDatabase(const SendRequest& request, const SendRecords& records,
                          SendServices& services);

}  // namespace output
