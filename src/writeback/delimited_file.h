// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Edited values in a text file: the records this program writes to a text file with Include
// Tags ('DRAWING_NAME','TITLE' in a .txt file, the same in double quotes in a .csv file), or a
// delimited file of another program.

#include "writeback/edit_table.h"

namespace writeback {

// Reads the text file at `path` (up to kMaxTextFileBytes; UTF-8, UTF-16 or UTF-32 with a byte
// order mark, else UTF-8 when valid, else Windows-1252). See parseDelimitedText.
core::Result<EditTable> readDelimitedFile(const QString& path);

// The table of a text file's content; `origin` names the file in messages.
//
// The first line that is not blank is the header and tells the form of every line:
// - a line in single quotes ('A','B') is this program's own record form: one record a line,
//   values split at "','", nothing escaped;
// - otherwise values are delimited by the comma, tab or semicolon found most often outside
//   double quotes in the header (an Excel "sep=;" first line names it instead), and quoted as
//   RFC 4180 has it: a value in double quotes may hold delimiters, line breaks and doubled
//   double quotes. A line break in a value is read as "\n", however the file wrote it.
// A row with more values than the header has names is refused, as is a quoted value without its
// closing quote or with text after it, each naming its line; a shorter row's missing values are
// empty.
core::Result<EditTable> parseDelimitedText(const QString& text, const QString& origin);

}  // namespace writeback
