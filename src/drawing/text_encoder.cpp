// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/text_encoder.h"

namespace drawing {

namespace {

constexpr int kFirstUtf8Release = 1021;   // AC1021, R2007
constexpr int kFirstLongRelease = 1015;   // AC1015, R2000: extended symbol names
constexpr std::size_t kShortLimit = 255;  // before R2000
constexpr std::size_t kLongLimit = 2049;

bool isLineBreak(char16_t c) {
    return c == u'\n' || c == u'\r';
}

QString codePoint(char32_t c);

// Why a character cannot be written into a drawing of `release`.
QString cannotHold(char32_t character, const QString& release) {
    return QStringLiteral("the value holds %1, which a drawing of release %2 cannot hold")
        .arg(codePoint(character), release);
}

QString codePoint(char32_t c) {
    return QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper();
}

// The first character no text group can hold: a control character (a tab is text) or half
// of a surrogate pair. Line breaks are the caller's to judge.
QString badCharacter(const QString& value) {
    const qsizetype n = value.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = value[i];
        if (c.isHighSurrogate() && i + 1 < n && value[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate())
            return QStringLiteral(
                       "the value holds half of a surrogate pair (%1), which is not text")
                .arg(codePoint(c.unicode()));
        if (c.category() == QChar::Other_Control && c != u'\t' && !isLineBreak(c.unicode()))
            return QStringLiteral("the value holds the control character %1")
                .arg(codePoint(c.unicode()));
    }
    return {};
}

// The character (a surrogate pair whole) at `i`; `i` moves past it.
char32_t takeCharacter(const QString& value, qsizetype& i) {
    const QChar c = value[i++];
    if (c.isHighSurrogate() && i < value.size() && value[i].isLowSurrogate())
        return QChar::surrogateToUcs4(c, value[i++]);
    return c.unicode();
}

void appendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

int releaseNumber(std::string_view release) {
    if (release.size() != 6 || release.substr(0, 2) != "AC") return 0;
    int number = 0;
    for (const char c : release.substr(2)) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + (c - '0');
    }
    return number;
}

TextEncoder::TextEncoder(std::string_view release, std::string_view codePage)
    : m_release(QString::fromLatin1(release.data(), static_cast<qsizetype>(release.size()))) {
    const int number = releaseNumber(release);
    m_utf8 = number >= kFirstUtf8Release;
    m_groupLimit = number >= kFirstLongRelease ? kLongLimit : kShortLimit;
    m_check.setCodePage(codePage);
    if (m_utf8) return;
    if (const char* name = codePageConverterName(codePage)) {
        auto encoder = std::make_unique<QStringEncoder>(name, QStringConverter::Flag::Stateless);
        auto decoder = std::make_unique<QStringDecoder>(name, QStringConverter::Flag::Stateless);
        if (encoder->isValid() && decoder->isValid()) {
            m_encoder = std::move(encoder);
            m_decoder = std::move(decoder);
            return;
        }
    }
    // No converter: the reader then reads the file's bytes with its own table, which tells
    // which byte stands for which character.
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const char b = static_cast<char>(byte);
        const QString decoded = m_check.decode(std::string_view(&b, 1));
        if (decoded.size() == 1 && decoded[0] != QChar::ReplacementCharacter)
            m_highBytes.emplace(decoded[0].unicode(), b);
    }
}

void TextEncoder::appendEscape(char32_t c, EncodedText& out) {
    out.bytes += "\\U+";
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (int shift = 12; shift >= 0; shift -= 4) out.bytes += kHex[(c >> shift) & 0xF];
}

// The bytes of one character: its own in the file's encoding, or \U+XXXX when the code page
// lacks it (or `escapeAll` asks for escapes). False when the file cannot hold it at all.
bool TextEncoder::appendCharacter(char32_t c, bool escapeAll, EncodedText& out) {
    if (m_utf8) {
        appendUtf8(c, out.bytes);
        return true;
    }
    if (c < 0x80 && !m_encoder) {
        out.bytes += static_cast<char>(c);
        return true;
    }
    // \U+ takes four hex digits: a code page file has no way to write a character beyond them.
    if (c > 0xFFFF) return false;
    const char16_t unit = static_cast<char16_t>(c);
    if (!escapeAll || c < 0x80) {
        if (m_encoder) {
            const QByteArray bytes = m_encoder->encode(QStringView(&unit, 1));
            const QString back = m_decoder->decode(bytes);
            if (!bytes.isEmpty() && back.size() == 1 && back[0] == QChar(unit)) {
                out.bytes.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
                return true;
            }
        } else if (const auto found = m_highBytes.find(unit); found != m_highBytes.end()) {
            out.bytes += found->second;
            return true;
        }
    }
    appendEscape(c, out);
    return true;
}

QString TextEncoder::encodeLine(const QString& value, EncodedText& out) {
    for (const QChar c : value)
        if (isLineBreak(c.unicode()))
            return QStringLiteral("the value holds a line break, and the attribute is single-line");
    if (QString bad = badCharacter(value); !bad.isEmpty()) return bad;
    // A code page's bytes that happen to form UTF-8 would be read as UTF-8: the second try
    // writes every character beyond ASCII as an escape.
    for (const bool escapeAll : {false, true}) {
        out.bytes.clear();
        out.cuts.clear();
        const qsizetype n = value.size();
        for (qsizetype i = 0; i < n;) {
            const QChar c = value[i];
            // A backslash that would start an escape the reader decodes is written as one.
            if (c == u'\\' && i + 2 < n && value[i + 2] == u'+' &&
                QStringView(u"UuMm").contains(value[i + 1])) {
                appendEscape(u'\\', out);
                ++i;
            } else {
                const char32_t character = takeCharacter(value, i);
                if (!appendCharacter(character, escapeAll, out))
                    return cannotHold(character, m_release);
            }
            out.cuts.push_back(out.bytes.size());
        }
        if (m_check.decode(out.bytes) == value) {
            if (out.bytes.size() > m_groupLimit)
                return QStringLiteral(
                           "the value takes %1 bytes in the file; a single-line "
                           "attribute of release %2 holds at most %3")
                    .arg(out.bytes.size())
                    .arg(m_release)
                    .arg(m_groupLimit);
            return {};
        }
    }
    return QStringLiteral("the value cannot be written so that it reads back the same");
}

QString TextEncoder::encodeMultiline(const QString& value, EncodedText& out) {
    if (QString bad = badCharacter(value); !bad.isEmpty()) return bad;
    QString expected = value;
    expected.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    expected.replace(u'\r', u' ').replace(u'\n', u' ');
    for (const bool escapeAll : {false, true}) {
        out.bytes.clear();
        out.cuts.clear();
        const qsizetype n = value.size();
        for (qsizetype i = 0; i < n;) {
            const QChar c = value[i];
            const QChar next = i + 1 < n ? value[i + 1] : QChar();
            if (isLineBreak(c.unicode())) {
                out.bytes += "\\P";
                i += c == u'\r' && next == u'\n' ? 2 : 1;
            } else if (c == u'\\' || c == u'{' || c == u'}') {
                out.bytes += '\\';
                out.bytes += static_cast<char>(c.unicode());
                ++i;
            } else if (c == u'^' && (next == u'I' || next == u'J' || next == u'M')) {
                // ^I, ^J and ^M are control codes in multiline text; the caret itself is not.
                appendEscape(u'^', out);
                ++i;
            } else {
                const char32_t character = takeCharacter(value, i);
                if (!appendCharacter(character, escapeAll, out))
                    return cannotHold(character, m_release);
            }
            out.cuts.push_back(out.bytes.size());
        }
        if (m_check.decodeMText(out.bytes) == expected) return {};
    }
    return QStringLiteral("the value cannot be written so that it reads back the same");
}

}  // namespace drawing
