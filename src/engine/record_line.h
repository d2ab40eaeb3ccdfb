// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The small rules that work on an extract-file record line ('A','B','C').

#include <QString>

namespace recordline {

// 0 when `line` holds no "','"; otherwise the number of "','" sequences plus 2.
qint64 countFields(const QString& line);

// The record line in space-delimited form: each "','" becomes `width` blanks, the outer quotes
// go and blanks are cut at both ends. A line without "','" comes back unchanged.
QString cdfToSdf(const QString& line, quint8 width);

qsizetype countSpaces(const QString& text);

// `text` with every carriage return and line feed made a blank, as attribute values are: a
// drawing's file name may hold them, and a record or a hit line must stay one line.
QString oneLine(QString text);

}  // namespace recordline
