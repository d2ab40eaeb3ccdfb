// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/mtext_plain.h"

namespace drawing {

namespace {

// Codes that carry a value up to a semicolon: font, height, width, colour, oblique angle,
// tracking, alignment, paragraph properties.
bool takesArgument(char16_t c) {
    switch (c) {
        case u'A':
        case u'C':
        case u'c':
        case u'F':
        case u'f':
        case u'H':
        case u'h':
        case u'Q':
        case u'q':
        case u'T':
        case u't':
        case u'W':
        case u'w':
        case u'p':
            return true;
        default:
            return false;
    }
}

}  // namespace

qsizetype MTextPlain::consume(const QString& text, qsizetype at) {
    const qsizetype n = text.size();
    const QChar c = text[at];
    if (c == u'{' || c == u'}') return at + 1;
    if (c == u'^' && at + 1 < n) {
        const QChar next = text[at + 1];
        if (next == u'I' || next == u'J' || next == u'M') {
            m_out += u' ';
            return at + 2;
        }
    }
    if (c != u'\\' || at + 1 >= n) {
        put(c);
        return at + 1;
    }
    const char16_t code = text[at + 1].unicode();
    switch (code) {
        case u'P':
        case u'X':
        case u'N':
        case u'~':
            m_out += u' ';
            return at + 2;
        case u'\\':
        case u'{':
        case u'}':
            m_out += QChar(code);
            return at + 2;
        case u'L':
        case u'l':
        case u'O':
        case u'o':
        case u'K':
        case u'k':
            return at + 2;
        case u'S': {
            // Stacked text "\Snum^den;" reads as "num/den".
            qsizetype i = at + 2;
            for (; i < n && text[i] != u';'; ++i) {
                const QChar s = text[i];
                if (s == u'^' || s == u'#' || s == u'/') {
                    m_out += u'/';
                } else if (s == u'\\' && i + 1 < n) {
                    m_out += text[++i];
                } else {
                    put(s);
                }
            }
            return i < n ? i + 1 : n;
        }
        default:
            break;
    }
    if (takesArgument(code)) {
        const qsizetype semicolon = text.indexOf(u';', at + 2);
        return semicolon < 0 ? n : semicolon + 1;
    }
    // Not a formatting code: the backslash is text.
    m_out += c;
    return at + 1;
}

}  // namespace drawing
