// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where a record came from: enough to find its attributes again in the drawing when edited
// values go back.

#include <QString>
#include <vector>

struct AttributeSource {
    QString tag;     // as the template or the drawing names it
    QString handle;  // empty for a tag the block lacks (its field reads 'N/A')

    bool operator==(const AttributeSource&) const = default;
};

// A record whose source is not known (one made by a test or a screenshot) has an empty drawing
// path.
struct RecordSource {
    QString drawingPath;  // the drawing in its real letter case; set by the run
    QString space;        // "MODEL" or "PAPER"
    QString blockName;
    QString blockHandle;
    std::vector<AttributeSource> attributes;  // the record's attribute fields, in order

    bool operator==(const RecordSource&) const = default;
};
