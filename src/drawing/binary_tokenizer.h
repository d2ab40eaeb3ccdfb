// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Groups of a binary DXF file. Group codes are 1 byte before R13 (255 escapes to a 2-byte
// code) and 2 bytes after; the size of a value follows from its group code.

#include <QString>

#include "drawing/chunk_buffer.h"
#include "drawing/group.h"

namespace drawing {

inline constexpr std::string_view kBinarySentinel{"AutoCAD Binary DXF\r\n\x1a\0", 22};

class BinaryTokenizer {
public:
    // `start` is the first byte after the sentinel. The code width is told by the first group,
    // which is 0 "SECTION" (or a 999 comment) in any file.
    BinaryTokenizer(ChunkBuffer& buffer, const char* start);

    bool next(Group& group);
    // Steps over groups up to the next one with code 0 and reads that one: the same as calling
    // next() until then, without filling a group for each value skipped.
    bool nextEntity(Group& group);
    bool failed() const { return !m_error.isEmpty(); }
    // Whether group codes take two bytes (R13 and later) or one.
    bool wideCodes() const { return m_wideCodes; }
    const QString& error() const { return m_error; }
    QString where() const;
    QString whereEnd() const;

private:
    bool fail(QString message);

    ChunkBuffer& m_buffer;
    const char* m_pos;
    long long m_groupOffset = 0;
    bool m_wideCodes = true;
    QString m_error;
};

}  // namespace drawing
