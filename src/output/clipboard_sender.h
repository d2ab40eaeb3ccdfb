// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/send_request.h"
#include "platform/services/clipboard.h"

namespace output {

// The records as lines of plain text on the clipboard, in place of what it held.
SendResult sendToClipboard(const SendRequest& request, const SendRecords& records,
                           platform::Clipboard& clipboard);

}  // namespace output
