// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Text values of a drawing to QString. Files before AC1021 are in the code page of
// $DWGCODEPAGE, later ones in UTF-8; valid UTF-8 is taken as UTF-8 first because some
// writers label UTF-8 files with an ANSI code page. \U+XXXX escapes are decoded in every
// release and \M+nXXXX for the East Asian code pages; %%-control codes are kept as written.

#include <QString>
#include <QStringDecoder>
#include <array>
#include <memory>
#include <string_view>

namespace drawing {

class TextDecoder {
public:
    TextDecoder();
    ~TextDecoder();
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;

    // The code page name as written in $DWGCODEPAGE ("ANSI_1252"); unknown names read as 1252.
    void setCodePage(std::string_view name);

    // A single-line text value.
    QString decode(std::string_view bytes);
    // A multiline text value: its formatting codes removed and each line break written as one
    // blank, so the text stays on one line.
    QString decodeMText(std::string_view bytes);

private:
    QString toUnicode(std::string_view bytes);
    QString unescape(const QString& text, bool mtext);
    bool appendMultiByte(QString& out, int codePageDigit, unsigned value);

    std::unique_ptr<QStringDecoder> m_codePage;  // null: our own Windows-1252 table
    std::array<std::unique_ptr<QStringDecoder>, 6> m_eastAsian;
};

// The converter name (as QStringDecoder and QStringEncoder take it) of a code page as written
// in $DWGCODEPAGE, or null for a name we do not know.
const char* codePageConverterName(std::string_view codePage);

// Whether `bytes` is well-formed UTF-8 (no overlong forms, no surrogates).
bool isValidUtf8(std::string_view bytes);

}  // namespace drawing
