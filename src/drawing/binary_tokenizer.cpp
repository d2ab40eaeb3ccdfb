// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/binary_tokenizer.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace drawing {

namespace {

enum class Wire : std::uint8_t { String, Double, Int16, Int32, Int64, Bool, Chunk };

constexpr Wire wireOf(int code) {
    if ((code >= 10 && code <= 59) || (code >= 110 && code <= 149) ||
        (code >= 210 && code <= 239) || (code >= 460 && code <= 469) ||
        (code >= 1010 && code <= 1059))
        return Wire::Double;
    if ((code >= 60 && code <= 79) || (code >= 170 && code <= 179) ||
        (code >= 270 && code <= 289) || (code >= 370 && code <= 389) ||
        (code >= 400 && code <= 409) || (code >= 1060 && code <= 1070))
        return Wire::Int16;
    if ((code >= 90 && code <= 99) || (code >= 420 && code <= 429) ||
        (code >= 440 && code <= 459) || code == 1071)
        return Wire::Int32;
    if (code >= 160 && code <= 169) return Wire::Int64;
    if (code >= 290 && code <= 299) return Wire::Bool;
    if ((code >= 310 && code <= 319) || code == 1004) return Wire::Chunk;
    return Wire::String;
}

// wireOf for every code a file can hold, looked up once per group instead of a chain of
// range tests.
struct WireTable {
    static constexpr int kSize = 1072;
    Wire wires[kSize];
    constexpr WireTable() : wires() {
        for (int code = 0; code < kSize; ++code) wires[code] = wireOf(code);
    }
    Wire operator()(int code) const {
        return code >= 0 && code < kSize ? wires[code] : Wire::String;
    }
};
constexpr WireTable kWireOf;

template <typename T>
T load(const char* p) {
    // Binary DXF is little-endian, as is every machine we build for.
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

// The NUL that ends the string at `p`, or null when it is not in [p, end). Most strings are
// short: eight bytes at a time inline beats a call to memchr. The buffer has zeroed slack
// after `end`, so reading a word that crosses it is safe; a NUL found there is not data.
inline const char* findNul(const char* p, const char* end) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    for (int round = 0; round < 4 && p < end; ++round, p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        const std::uint64_t found = (word - kOnes) & ~word & kHigh;
        if (found) {
            const char* nul = p + (std::countr_zero(found) >> 3);
            return nul < end ? nul : nullptr;
        }
    }
    if (p >= end) return nullptr;
    return static_cast<const char*>(std::memchr(p, 0, static_cast<std::size_t>(end - p)));
}

}  // namespace

BinaryTokenizer::BinaryTokenizer(ChunkBuffer& buffer, const char* start)
    : m_buffer(buffer), m_pos(start) {
    const auto avail = m_buffer.end() - start;
    const auto b0 = avail > 0 ? static_cast<unsigned char>(start[0]) : 0u;
    const auto b1 = avail > 1 ? static_cast<unsigned char>(start[1]) : 0u;
    if (b0 == 255) {
        m_wideCodes = false;  // only 1-byte codes escape
    } else if (b0 == 0) {
        m_wideCodes = b1 == 0;  // 1-byte code 0 is followed by "SECTION", never by a NUL
    } else {
        m_wideCodes = b1 <= 4;  // the high byte of a 2-byte code below 1280
    }
}

bool BinaryTokenizer::fail(QString message) {
    if (m_error.isEmpty()) m_error = std::move(message);
    return false;
}

QString BinaryTokenizer::where() const {
    return QStringLiteral("byte offset %1").arg(m_groupOffset);
}

QString BinaryTokenizer::whereEnd() const {
    return QStringLiteral("byte offset %1").arg(m_buffer.offsetOf(m_pos));
}

bool BinaryTokenizer::next(Group& group) {
    if (failed()) return false;
    for (;;) {
        const char* p = m_pos;
        const char* const end = m_buffer.end();
        const auto avail = [&](std::ptrdiff_t n) { return end - p >= n; };
        bool whole = false;
        if (avail(m_wideCodes ? 2 : 1)) {
            int code;
            if (m_wideCodes) {
                code = load<std::int16_t>(p);
                p += 2;
            } else {
                code = static_cast<unsigned char>(*p++);
                if (code == 255) {
                    if (avail(2)) {
                        code = load<std::int16_t>(p);
                        p += 2;
                    } else {
                        p = nullptr;
                    }
                }
            }
            if (p) {
                group.code = code;
                switch (kWireOf(code)) {
                    case Wire::String: {
                        const char* e = findNul(p, end);
                        if (e) {
                            group.kind = ValueKind::Text;
                            group.text = std::string_view(p, static_cast<std::size_t>(e - p));
                            p = e + 1;
                            whole = true;
                        }
                        break;
                    }
                    case Wire::Double:
                        if ((whole = avail(8))) {
                            group.kind = ValueKind::Real;
                            group.real = load<double>(p);
                            p += 8;
                        }
                        break;
                    case Wire::Int16:
                        if ((whole = avail(2))) {
                            group.kind = ValueKind::Integer;
                            group.integer = load<std::int16_t>(p);
                            p += 2;
                        }
                        break;
                    case Wire::Int32:
                        if ((whole = avail(4))) {
                            group.kind = ValueKind::Integer;
                            group.integer = load<std::int32_t>(p);
                            p += 4;
                        }
                        break;
                    case Wire::Int64:
                        if ((whole = avail(8))) {
                            group.kind = ValueKind::Integer;
                            group.integer = load<std::int64_t>(p);
                            p += 8;
                        }
                        break;
                    case Wire::Bool:
                        if ((whole = avail(1))) {
                            group.kind = ValueKind::Integer;
                            group.integer = static_cast<unsigned char>(*p);
                            p += 1;
                        }
                        break;
                    case Wire::Chunk:
                        if (avail(1)) {
                            const auto length = static_cast<unsigned char>(*p);
                            if ((whole = avail(1 + length))) {
                                group.kind = ValueKind::Binary;
                                group.text = std::string_view(p + 1, length);
                                p += 1 + length;
                            }
                        }
                        break;
                }
            }
        }
        if (whole) {
            m_groupOffset = m_buffer.offsetOf(m_pos);
            m_pos = p;
            return true;
        }
        if (m_buffer.atEnd()) {
            if (m_pos == end) return false;  // the input ends between two groups
            return fail(QStringLiteral("unexpected end of file at byte offset %1")
                            .arg(m_buffer.offsetOf(end)));
        }
        const auto kept = end - m_pos;
        if (static_cast<std::size_t>(kept) > m_buffer.maxCarry())
            return fail(QStringLiteral("a value longer than %1 bytes at byte offset %2")
                            .arg(m_buffer.maxCarry())
                            .arg(m_buffer.offsetOf(m_pos)));
        if (!m_buffer.refill(m_pos)) return fail(QStringLiteral("the file could not be read"));
        m_pos = m_buffer.data();
        if (m_buffer.end() - m_pos == kept && !m_buffer.atEnd())
            return fail(QStringLiteral("a value longer than %1 bytes at byte offset %2")
                            .arg(m_buffer.maxCarry())
                            .arg(m_buffer.offsetOf(m_pos)));
    }
}

bool BinaryTokenizer::nextEntity(Group& group) {
    if (failed()) return false;
    const char* p = m_pos;
    const char* const end = m_buffer.end();
    // Whole groups only, with room for any code and fixed-size value; the rest, and every
    // group near the end of the buffer, goes through next().
    while (m_wideCodes && end - p >= 16) {
        const int code = load<std::int16_t>(p);
        if (code == 0) break;
        const char* q = p + 2;
        switch (kWireOf(code)) {
            case Wire::String:
                q = findNul(q, end);
                break;
            case Wire::Double:
            case Wire::Int64:
                q += 7;
                break;
            case Wire::Int16:
                q += 1;
                break;
            case Wire::Int32:
                q += 3;
                break;
            case Wire::Bool:
                break;
            case Wire::Chunk:
                q += static_cast<unsigned char>(*q);
                if (q >= end) q = nullptr;
                break;
        }
        if (!q) break;
        p = q + 1;  // past the last byte of the value
    }
    m_pos = p;
    while (next(group))
        if (group.code == 0) return true;
    return false;
}

}  // namespace drawing
