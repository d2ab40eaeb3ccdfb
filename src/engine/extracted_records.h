// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The records a drawing gives, as the extract file holds them, with where each came from: enough
// to find its attributes again in the drawing when edited values go back.

#include <QString>
#include <vector>

struct AttributeSource {
    QString tag;     // as the template or the drawing names it
    QString handle;  // empty for a tag the block lacks (its field reads 'N/A')
};

struct RecordSource {
    QString drawingPath;  // the drawing in its real letter case; set by the run
    QString space;        // "MODEL" or "PAPER"
    QString blockName;
    QString blockHandle;
    std::vector<AttributeSource> attributes;  // the record's attribute fields, in order
};

struct ExtractedRecord {
    QString line;  // the extract file's record line: 'A','B','C'
    RecordSource source;
};

struct DrawingRecords {
    QString header;  // the header row of the first record, without "HEADER:"; empty when none
    std::vector<ExtractedRecord> records;
};
