// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Error numbers of the drawing reader. They follow the numbering of the automation world the
// engine was written for, so a log line reads the same whichever implementation failed.

namespace drawing::errors {

inline constexpr long kBadIndex = 9;     // subscript out of range
inline constexpr long kBadArgument = 5;  // invalid procedure call or argument
inline constexpr long kOutOfMemory = 7;
inline constexpr long kFileNotFound = 53;
inline constexpr long kFileAccess = 75;      // the file exists but cannot be read
inline constexpr long kNotADrawing = 321;    // invalid file format: empty or unknown content
inline constexpr long kUnsupported = 3000;   // a drawing format or release not read yet
inline constexpr long kMalformed = 3001;     // a DXF file that is truncated or corrupt
inline constexpr long kDocumentClosed = 91;  // object variable not set

}  // namespace drawing::errors
