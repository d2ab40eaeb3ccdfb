// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/send_request.h"

namespace output {

// The records as lines of a text file, in CSV quotes when its name ends in ".csv"; replaced or
// appended to, through a temporary file so a failed write leaves the old file as it was.
SendResult sendToTextFile(const SendRequest& request, const SendRecords& records);

}  // namespace output
