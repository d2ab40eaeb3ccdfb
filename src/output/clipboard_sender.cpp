// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/clipboard_sender.h"

#include "output/send_grid.h"

namespace output {

SendResult sendToClipboard(const SendRequest& request, const SendRecords& records,
                           platform::Clipboard& clipboard) {
    QString text;
    if (request.tags)
        text = headerLine(request.form, records.header, false) + QStringLiteral("\r\n");
    for (const QString& record : records.records) text += record + QStringLiteral("\r\n");
    clipboard.clear();
    clipboard.setText(text);
    return {true, QString::number(text.size()) + QStringLiteral(" bytes copied to the clipboard.")};
}

}  // namespace output
