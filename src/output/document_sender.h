// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/send_request.h"
#include "output/send_services.h"

namespace output {

// The records as lines of small type, or as a table, at the start or the end of a document on
// a landscape page.
SendResult sendToDocument(const SendRequest& request, const SendRecords& records,
                          SendServices& services);

}  // namespace output
