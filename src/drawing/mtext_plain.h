// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The plain text of a multiline text value: formatting codes (fonts, heights, colours,
// stacking, grouping braces) removed and each line break written as one blank, so an
// attribute's text always fits on one record line.

#include <QString>

namespace drawing {

class MTextPlain {
public:
    explicit MTextPlain(QString& out) : m_out(out) {}
    // A character that is text whatever it looks like (a decoded escape).
    void put(QChar c) { m_out += isLineEnd(c) ? QChar(u' ') : c; }
    // Takes the character or formatting code at `at`; returns where the next one starts.
    qsizetype consume(const QString& text, qsizetype at);
    void finish() {}

    static bool isLineEnd(QChar c) { return c == u'\n' || c == u'\r'; }

private:
    QString& m_out;
};

}  // namespace drawing
