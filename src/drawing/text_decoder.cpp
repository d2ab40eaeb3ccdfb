// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/text_decoder.h"

#include <cstdint>
#include <cstring>

#include "drawing/mtext_plain.h"

namespace drawing {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the fallback when the Qt build has
// no converter for the file's code page.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

QString fromCp1252(std::string_view bytes) {
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    char16_t* d = reinterpret_cast<char16_t*>(out.data());
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        *d++ = (c >= 0x80 && c < 0xA0) ? kCp1252High[c - 0x80] : char16_t(c);
    }
    return out;
}

// Nothing to convert: no byte above 0x7F, no escape, no line end (binary files can hold one).
bool isPlainAscii(std::string_view bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80 || c == '\\' || c == '\n' || c == '\r')
            return false;
    return true;
}

// \M+n: n names the East Asian code page of the two bytes that follow.
const char* eastAsianName(int digit) {
    switch (digit) {
        case 1:
            return "Shift_JIS";
        case 2:
            return "Big5";
        case 3:
            return "windows-949";
        case 4:
            return "johab";
        case 5:
            return "GBK";
        default:
            return nullptr;
    }
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

// The value of `count` hex digits at `at`, or -1.
long hexAt(const QString& s, qsizetype at, int count) {
    if (at + count > s.size()) return -1;
    long value = 0;
    for (int i = 0; i < count; ++i) {
        const int d = hexDigit(s[at + i]);
        if (d < 0) return -1;
        value = value * 16 + d;
    }
    return value;
}

}  // namespace

// ICU names of the code pages a drawing names in $DWGCODEPAGE.
const char* codePageConverterName(std::string_view codePage) {
    struct Entry {
        std::string_view dxf;
        const char* icu;
    };
    static constexpr Entry kTable[] = {
        {"ANSI_874", "windows-874"},   {"ANSI_932", "Shift_JIS"},     {"ANSI_936", "GBK"},
        {"ANSI_949", "windows-949"},   {"ANSI_950", "Big5"},          {"ANSI_1250", "windows-1250"},
        {"ANSI_1251", "windows-1251"}, {"ANSI_1252", "windows-1252"}, {"ANSI_1253", "windows-1253"},
        {"ANSI_1254", "windows-1254"}, {"ANSI_1255", "windows-1255"}, {"ANSI_1256", "windows-1256"},
        {"ANSI_1257", "windows-1257"}, {"ANSI_1258", "windows-1258"}, {"ANSI_1361", "johab"},
        {"DOS437", "IBM437"},          {"DOS850", "IBM850"},          {"DOS852", "IBM852"},
        {"DOS866", "IBM866"},
    };
    for (const Entry& e : kTable) {
        if (e.dxf.size() != codePage.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < codePage.size() && same; ++i) {
            char a = codePage[i];
            if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
            same = a == e.dxf[i];
        }
        if (same) return e.icu;
    }
    return nullptr;
}

bool isValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
        if (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            if ((word & 0x8080808080808080ull) == 0) {
                p += 8;
                continue;
            }
        }
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int extra;
        std::uint32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= extra) return false;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        p += extra + 1;
    }
    return true;
}

TextDecoder::TextDecoder() = default;
TextDecoder::~TextDecoder() = default;

void TextDecoder::setCodePage(std::string_view name) {
    m_codePage.reset();
    const char* icu = codePageConverterName(name);
    if (!icu) return;
    auto decoder = std::make_unique<QStringDecoder>(icu, QStringConverter::Flag::Stateless);
    if (decoder->isValid()) m_codePage = std::move(decoder);
}

QString TextDecoder::toUnicode(std::string_view bytes) {
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (!m_codePage) return fromCp1252(bytes);
    return m_codePage->decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QString TextDecoder::decode(std::string_view bytes) {
    if (isPlainAscii(bytes))
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString text = toUnicode(bytes);
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    if (!text.contains(u'\\')) return text;
    return unescape(text, false);
}

QString TextDecoder::decodeMText(std::string_view bytes) {
    return unescape(toUnicode(bytes), true);
}

bool TextDecoder::appendMultiByte(QString& out, int digit, unsigned value) {
    const char* name = eastAsianName(digit);
    if (!name) return false;
    auto& decoder = m_eastAsian[static_cast<std::size_t>(digit)];
    if (!decoder)
        decoder = std::make_unique<QStringDecoder>(name, QStringConverter::Flag::Stateless);
    if (!decoder->isValid()) return false;
    const char bytes[2] = {static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)};
    const QString decoded = decoder->decode(QByteArrayView(bytes, value > 0xFF ? 2 : 1));
    if (decoded.isEmpty()) return false;
    out += decoded;
    return true;
}

QString TextDecoder::unescape(const QString& text, bool mtext) {
    QString out;
    out.reserve(text.size());
    MTextPlain plain(out);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = text[i];
        if (c == u'\\' && i + 2 < n && text[i + 2] == u'+') {
            const QChar kind = text[i + 1];
            if (kind == u'U' || kind == u'u') {
                const long value = hexAt(text, i + 3, 4);
                if (value >= 0) {
                    plain.put(QChar(static_cast<char16_t>(value)));
                    i += 7;
                    continue;
                }
            } else if (kind == u'M' || kind == u'm') {
                const long value = hexAt(text, i + 4, 4);
                const int digit = i + 3 < n ? hexDigit(text[i + 3]) : -1;
                if (value >= 0 && digit >= 0) {
                    QString decoded;
                    if (appendMultiByte(decoded, digit, static_cast<unsigned>(value))) {
                        for (QChar d : decoded) plain.put(d);
                        i += 8;
                        continue;
                    }
                }
            }
        }
        if (!mtext) {
            out += c;
            ++i;
            continue;
        }
        i = plain.consume(text, i);
    }
    plain.finish();
    return out;
}

}  // namespace drawing
