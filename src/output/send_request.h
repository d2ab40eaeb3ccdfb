// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What one send delivers and where. The window builds it from its controls, a drawing list from
// a send line; each destination's sender takes it with the records and says how it went.

#include <QString>
#include <QStringList>

#include "engine/extraction_run.h"

namespace output {

enum class Destination { TextFile, Clipboard, Spreadsheet, Database, Document };

struct SendRequest {
    Destination destination = Destination::TextFile;
    // The text file, workbook, database or document. Empty: for a workbook or document the
    // active one, else a new one; a database must be named.
    QString file;
    // Where a workbook or document program that has to be started makes its new file: the
    // output folder the window shows.
    QString newFileFolder;
    QString sheet;  // empty: the workbook's active sheet
    QString table;
    int row = 1;  // a workbook send's first cell
    int column = 1;
    bool append = false;  // text file, database; a document's records go at its end
    bool transpose = false;
    bool tags = false;  // a header row before the records
    bool fitColumns = false;
    bool createTable = false;  // a document gets a table instead of lines
    // How the records were formed: the header row gets the same drawing-name and timestamp
    // columns and, for space-delimited records, the same spacing.
    RecordForm form;
    // A drawing list is sending: nobody is asked, nothing is opened for the user.
    bool fromList = false;
};

// The records a send delivers, with what the record list knows of them.
struct SendRecords {
    QStringList records;   // in list order
    QString header;        // the header row of the run that extracted them
    qint64 maxFields = 0;  // the record list's field count
};

struct SendResult {
    bool ok = false;
    QString status;  // for the status line; empty leaves it as it was
};

// Delivers a request's records to its destination.
class Sender {
public:
    virtual ~Sender() = default;
    virtual SendResult send(const SendRequest& request, const SendRecords& records) = 0;
};

}  // namespace output
