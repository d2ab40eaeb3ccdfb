// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/ascii_tokenizer.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace drawing {

namespace {

QString printable(const char* begin, const char* end) {
    QString out;
    for (const char* p = begin; p < end && out.size() < 24; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        out += (c >= 0x20 && c < 0x7f) ? QChar(c) : QChar(u'?');
    }
    return out;
}

// The '\n' that ends the line at `p`. Most values are a few bytes long, where a call to
// memchr costs more than the search: test eight bytes at a time inline. Reading past the
// line end is safe: the buffer has slack after its data, and the first '\n' found is always
// the line's own because every line before the limit is complete.
inline const char* findLineEnd(const char* p, const char* limit) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    constexpr std::uint64_t kNewlines = kOnes * '\n';
    for (int round = 0; round < 8; ++round, p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        const std::uint64_t x = word ^ kNewlines;
        const std::uint64_t found = (x - kOnes) & ~x & kHigh;
        if (found) return p + (std::countr_zero(found) >> 3);
    }
    return static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(limit - p)));
}

}  // namespace

AsciiTokenizer::AsciiTokenizer(ChunkBuffer& buffer, const char* start)
    : m_buffer(buffer), m_pos(start) {
    findLimit();
}

void AsciiTokenizer::findLimit() {
    const char* begin = m_buffer.data();
    const char* end = m_buffer.end();
    if (m_buffer.atEnd() && (end == begin || end[-1] != '\n') && end > m_pos) {
        // The last line has no line end: give it one so it parses like the others.
        m_buffer.appendSentinel('\n');
        end = m_buffer.end();
    }
    const char* p = end;
    while (p > m_pos && p[-1] != '\n') --p;
    m_limit = p;
}

bool AsciiTokenizer::refill() {
    const auto kept = m_buffer.end() - m_pos;
    if (static_cast<std::size_t>(kept) > m_buffer.maxCarry())
        return fail(QStringLiteral("a line longer than %1 bytes at line %2")
                        .arg(m_buffer.maxCarry())
                        .arg(m_line + 1));
    if (!m_buffer.refill(m_pos)) return fail(QStringLiteral("the file could not be read"));
    m_pos = m_buffer.data();
    const bool grew = m_buffer.end() - m_pos > kept;
    findLimit();
    if (!m_buffer.atEnd() && (!grew || m_limit == m_pos)) {
        // No complete line fits in what may be carried over.
        return fail(QStringLiteral("a line longer than %1 bytes at line %2")
                        .arg(m_buffer.maxCarry())
                        .arg(m_line + 1));
    }
    return true;
}

bool AsciiTokenizer::fail(QString message) {
    if (m_error.isEmpty()) m_error = std::move(message);
    m_pos = m_limit;
    return false;
}

QString AsciiTokenizer::where() const {
    return QStringLiteral("line %1").arg(m_line - 1);
}

QString AsciiTokenizer::whereEnd() const {
    return QStringLiteral("line %1").arg(m_line + 1);
}

bool AsciiTokenizer::next(Group& group) {
    if (failed()) return false;
    for (;;) {
        const char* p = m_pos;
        if (p < m_limit) {
            const char* const codeLine = p;
            while (*p == ' ' || *p == '\t') ++p;
            const bool negative = *p == '-';
            if (negative) ++p;
            int code = 0;
            int digits = 0;
            while (*p >= '0' && *p <= '9' && digits < 6) {
                code = code * 10 + (*p - '0');
                ++p;
                ++digits;
            }
            while (*p == ' ' || *p == '\t' || *p == '\r') ++p;
            if (digits == 0 || *p != '\n') {
                const char* lineEnd = static_cast<const char*>(
                    std::memchr(codeLine, '\n', static_cast<std::size_t>(m_limit - codeLine)));
                return fail(QStringLiteral("invalid group code \"%1\" at line %2")
                                .arg(printable(codeLine, lineEnd ? lineEnd : m_limit),
                                     QString::number(m_line + 1)));
            }
            ++p;
            if (p < m_limit) {
                const char* lineEnd = findLineEnd(p, m_limit);
                const char* valueEnd = lineEnd;
                if (valueEnd > p && valueEnd[-1] == '\r') --valueEnd;
                if (code == 0) {
                    // Entity and section names: some writers pad them with blanks.
                    while (valueEnd > p && valueEnd[-1] == ' ') --valueEnd;
                    while (p < valueEnd && *p == ' ') ++p;
                }
                group.code = negative ? -code : code;
                group.kind = ValueKind::Text;
                group.text = std::string_view(p, static_cast<std::size_t>(valueEnd - p));
                m_pos = lineEnd + 1;
                m_line += 2;
                return true;
            }
        }
        // The pair is not whole in the buffer: carry it over and read on.
        if (m_buffer.atEnd()) {
            if (m_pos >= m_limit) return false;  // the input ends between two groups
            return fail(QStringLiteral("unexpected end of file at line %1").arg(m_line + 2));
        }
        if (!refill()) return false;
    }
}

}  // namespace drawing
