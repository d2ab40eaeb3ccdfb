// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/destination_sender.h"

#include "output/clipboard_sender.h"
#include "output/database_sender.h"
#include "output/document_sender.h"
#include "output/spreadsheet_sender.h"
#include "output/text_file_sender.h"
#include "platform/file_exists.h"

namespace output {

namespace {

// What a failed send says when its sender's reason was in an error box of its own: the status
// line must not keep an earlier send's success, nor a drawing list's log a line without reason.
QString notSentTo(Destination destination) {
    switch (destination) {
        case Destination::TextFile:
            return QStringLiteral("Data not sent to the text file.");
        case Destination::Clipboard:
            return QStringLiteral("Data not sent to the clipboard.");
        case Destination::Spreadsheet:
            return QStringLiteral("Data not sent to the spreadsheet.");
        case Destination::Database:
            return QStringLiteral("Data not sent to the database.");
        case Destination::Document:
            return QStringLiteral("Data not sent to the document.");
    }
    return {};
}

}  // namespace

SendResult DestinationSender::send(const SendRequest& request, const SendRecords& records) {
    SendResult result = sendToDestination(request, records);
    if (!result.ok && result.status.isEmpty()) result.status = notSentTo(request.destination);
    return result;
}

SendResult DestinationSender::sendToDestination(const SendRequest& request,
                                                const SendRecords& records) {
    switch (request.destination) {
        case Destination::TextFile:
            return sendToTextFile(request, records);
        case Destination::Clipboard:
            return sendToClipboard(request, records, m_services.clipboard);
        case Destination::Spreadsheet:
        case Destination::Database:
        case Destination::Document:
            break;
    }
    if (!request.file.isEmpty() && !platform::fileExists(request.file)) {
        m_services.ui.beep();
        return {false,
                QStringLiteral("File '") + request.file + QStringLiteral("' does not exist.")};
    }
    switch (request.destination) {
        case Destination::Spreadsheet:
            return sendToSpreadsheet(request, records, m_services);
        case Destination::Database:
            return sendToDatabase(request, records, m_services);
        default:
            return sendToDocument(request, records, m_services);
    }
}

}  // namespace output
