// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A record line read as the fields of a table row. The line itself is what is sent; these views
// into it only show it in columns, so nothing is copied per field.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

// How the list's records split into columns and what the columns are called.
struct RecordLayout {
    QStringList names;           // the header row's names, in column order
    bool commaDelimited = true;  // 'A','B','C'; otherwise fields between runs of blanks
    int spaces = 2;              // the blanks between space-delimited fields

    bool operator==(const RecordLayout&) const = default;
};

namespace recordfields {

// The number of fields `line` holds: 1 for a line that cannot be split.
int count(QStringView line, const RecordLayout& layout);
// Field `column` of `line` (0-based), without its quotes; empty past the last field.
QStringView field(QStringView line, int column, const RecordLayout& layout);
// The fields of a comma-delimited line such as the header row.
QStringList commaDelimited(QStringView line);

// Appends to `key` the form of `text` whose plain comparison orders texts as people read them:
// letter case aside, and runs of digits by their value, so "PID-9" comes before "PID-10". Sorting
// by keys made once is much faster than comparing the texts themselves each time.
void appendSortKey(QStringView text, std::vector<char16_t>& key);

}  // namespace recordfields
