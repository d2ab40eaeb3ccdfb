// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Text values to the bytes a DXF file holds, the way TextDecoder reads them back: UTF-8 from
// AC1021 (R2007) on; before that the code page of $DWGCODEPAGE, a character the code page
// lacks written as \U+XXXX. Every encoding is checked by decoding it again with the reader's
// own decoder: a value that would not come back exactly is refused with the reason.

#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "drawing/text_decoder.h"

namespace drawing {

struct EncodedText {
    std::string bytes;
    // Where the bytes may be cut between two groups: after a character or an escape, never
    // inside a multi-byte character or an escape. Ascending; the last one is bytes.size().
    std::vector<std::size_t> cuts;
};

class TextEncoder {
public:
    TextEncoder(std::string_view release, std::string_view codePage);
    TextEncoder(const TextEncoder&) = delete;
    TextEncoder& operator=(const TextEncoder&) = delete;

    // A single-line value (TEXT, ATTRIB): every character as itself. Returns the reason the
    // value cannot be written, or an empty string.
    QString encodeLine(const QString& value, EncodedText& out);
    // The text of a multiline value (MTEXT): line breaks (LF, CR LF, CR) as \P, the characters
    // that start formatting codes escaped. The reader shows each line break as one blank.
    QString encodeMultiline(const QString& value, EncodedText& out);

    // The longest value one string group may hold, in bytes: 255 before AC1015 (R2000), 2049
    // from then on.
    std::size_t groupLimit() const { return m_groupLimit; }
    const QString& release() const { return m_release; }

private:
    bool appendCharacter(char32_t c, bool escapeAll, EncodedText& out);
    void appendEscape(char32_t c, EncodedText& out);

    QString m_release;
    bool m_utf8 = false;
    std::size_t m_groupLimit = 255;
    std::unique_ptr<QStringEncoder> m_encoder;  // null: the code page's bytes from m_highBytes
    std::unique_ptr<QStringDecoder> m_decoder;
    std::unordered_map<char16_t, char> m_highBytes;
    TextDecoder m_check;  // set up as the reader's for this file
};

// The release number of "AC1015" and the like; 0 for anything else (the oldest files).
int releaseNumber(std::string_view release);

}  // namespace drawing
