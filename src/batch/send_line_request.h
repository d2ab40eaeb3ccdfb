// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/list_line.h"
#include "output/send_request.h"

namespace batch {

output::Destination destinationOf(SendLine::Destination destination);

// The request a send line makes of `current`, the window's request for the same destination:
// the line's fields replace the values they name, the others stay as the window has them.
// Paths name an existing file in any letter case; a new file keeps the name as written.
output::SendRequest requestFromSendLine(const SendLine& line, output::SendRequest current);

}  // namespace batch
