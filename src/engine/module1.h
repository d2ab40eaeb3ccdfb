#pragma once

// Former names of the record-line rules and of the file test, kept for code not yet moved to
// engine/record_line.h and platform/file_exists.h. Holds no state.

#include "engine/record_line.h"
#include "platform/file_exists.h"

namespace Module1 {

inline qint64 CountFields(const QString& line) {
    return recordline::countFields(line);
}
inline QString CdfToSdf(const QString& line, quint8 width) {
    return recordline::cdfToSdf(line, width);
}
inline qint16 CountSpaces(const QString& text) {
    return recordline::countSpaces(text);
}
inline bool FileExists(const QString& path) {
    return platform::fileExists(path);
}

}  // namespace Module1
