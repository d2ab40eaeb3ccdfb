// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Groups of an ASCII DXF file: a group-code line, then a value line. Only the lines' ends are
// searched for (memchr); a value is a view into the buffer, never a copy.

#include <QString>

#include "drawing/chunk_buffer.h"
#include "drawing/group.h"

namespace drawing {

class AsciiTokenizer {
public:
    // `buffer` holds the first chunk already; `start` is where the first group-code line is.
    AsciiTokenizer(ChunkBuffer& buffer, const char* start);

    // The next group; false at the end of the input or on an error (then failed() is true).
    bool next(Group& group);
    bool nextEntity(Group& group) {
        while (next(group))
            if (group.code == 0) return true;
        return false;
    }
    bool failed() const { return !m_error.isEmpty(); }
    const QString& error() const { return m_error; }
    // Where the last group read starts, for messages: "line 12".
    QString where() const;
    QString whereEnd() const;

private:
    bool refill();
    void findLimit();
    bool fail(QString message);

    ChunkBuffer& m_buffer;
    const char* m_pos;
    // End of the last complete line in the buffer: every line that starts before it ends
    // before it, so line scans need no bounds check.
    const char* m_limit = nullptr;
    long long m_line = 0;  // lines consumed before m_pos
    QString m_error;
};

}  // namespace drawing
