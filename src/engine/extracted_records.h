// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The records a drawing gives, as the extract file holds them, with where each came from: enough
// to find its attributes again in the drawing when edited values go back.

#include <QString>
#include <vector>

#include "core/record_source.h"

struct ExtractedRecord {
    QString line;  // the extract file's record line: 'A','B','C'
    RecordSource source;
};

struct DrawingRecords {
    QString header;  // the header row of the first record, without "HEADER:"; empty when none
    std::vector<ExtractedRecord> records;
};
