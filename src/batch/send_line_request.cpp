// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/send_line_request.h"

#include <QtGlobal>
#include <algorithm>
#include <climits>

#include "platform/paths.h"

namespace batch {
namespace {

// A start row or column as its box takes it: a whole number above the box's limit becomes the
// limit; otherwise the leading number counts ("3abc" is 3).
int startCell(const QString& text, int limit) {
    // The leading number counts, also past the limit ("99999abc" is the last row, not row 99999).
    return static_cast<int>(std::clamp<long long>(numericValue(text), 1, limit));
}

// What each field of a send line names, by destination.
enum TextFileField : qsizetype { kTextFile, kTextAppend };
enum DocumentField : qsizetype { kDocument, kDocumentAppend, kDocumentTable };
enum WorkbookField : qsizetype { kWorkbook, kSheet, kRow, kColumn, kTranspose, kFitColumns };
enum DatabaseField : qsizetype { kDatabase, kTable, kDatabaseAppend };

}  // namespace

output::Destination destinationOf(SendLine::Destination destination) {
    switch (destination) {
        case SendLine::Destination::File:
            return output::Destination::TextFile;
        case SendLine::Destination::Clipboard:
            return output::Destination::Clipboard;
        case SendLine::Destination::Word:
            return output::Destination::Document;
        case SendLine::Destination::Excel:
            return output::Destination::Spreadsheet;
        case SendLine::Destination::Access:
            return output::Destination::Database;
    }
    return output::Destination::TextFile;
}

output::SendRequest requestFromSendLine(const SendLine& line, output::SendRequest current) {
    output::SendRequest request = std::move(current);
    request.destination = destinationOf(line.destination);
    request.fromList = true;
    auto path = [&line](qsizetype which) {
        const QString written = line.field(which);
        return written.isEmpty() ? written : platform::resolvePath(written);
    };
    switch (line.destination) {
        case SendLine::Destination::File:
            if (!line.field(kTextFile).isEmpty()) request.file = path(kTextFile);
            request.append = line.fieldIs(kTextAppend, "APPEND");
            request.tags = line.tags;
            break;
        case SendLine::Destination::Clipboard:
            request.tags = line.tags;
            break;
        case SendLine::Destination::Word:
            request.file = path(kDocument);
            if (!line.field(kDocument).isEmpty()) {
                request.append = line.fieldIs(kDocumentAppend, "APPEND");
                request.createTable = line.fieldIs(kDocumentTable, "TABLE");
            }
            request.tags = line.tags;
            break;
        case SendLine::Destination::Excel:
            request.file = path(kWorkbook);
            request.sheet = line.field(kSheet);
            if (!request.file.isEmpty() && !request.sheet.isEmpty()) {
                if (numericValue(line.field(kRow)) > 0)
                    request.row = startCell(line.field(kRow), 65536);
                if (numericValue(line.field(kColumn)) > 0)
                    request.column = startCell(line.field(kColumn), 255);
                request.transpose = line.fieldIs(kTranspose, "TRANSPOSE");
                request.fitColumns = line.fieldIs(kFitColumns, "ADJUSTCOLS");
            }
            request.tags = line.tags;
            break;
        case SendLine::Destination::Access:
            // Tags are never sent to a table: the line's TAGS leaves them as they were.
            request.file = path(kDatabase);
            request.table = line.field(kTable);
            request.append = line.fieldIs(kDatabaseAppend, "APPEND");
            break;
    }
    return request;
}

}  // namespace batch
