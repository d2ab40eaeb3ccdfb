// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/attribute_sites.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "drawing/ascii_tokenizer.h"
#include "drawing/binary_tokenizer.h"
#include "drawing/chunk_buffer.h"
#include "drawing/dxf_reader.h"
#include "drawing/reader_errors.h"
#include "drawing/space_order.h"

namespace drawing {

namespace {

// As the reader: chunks that stay in the cache, and the longest line a tokenizer keeps whole.
constexpr std::size_t kChunkSize = std::size_t{1} << 20;
constexpr std::size_t kMaxCarry = std::size_t{2} << 20;

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

core::Error failure(long number, QString description) {
    return core::Error{number, std::move(description)};
}

template <typename Tokenizer>
class SiteScanner {
public:
    SiteScanner(Tokenizer& groups, const ChunkBuffer& buffer, const QByteArray& bytes,
                DxfFormat& format, const std::function<void(const AttributeSite&)>& found)
        : m_groups(groups), m_buffer(buffer), m_bytes(bytes), m_format(format), m_found(found) {}

    QString run();

private:
    bool next() {
        if (m_groups.next(m_g)) return true;
        if (!m_groups.failed())
            m_error = QStringLiteral("unexpected end of file at %1").arg(m_groups.whereEnd());
        return false;
    }
    bool skipEntity() {
        if (m_groups.nextEntity(m_g)) return true;
        if (!m_groups.failed())
            m_error = QStringLiteral("unexpected end of file at %1").arg(m_groups.whereEnd());
        return false;
    }
    bool fail(const QString& message) {
        if (m_error.isEmpty()) m_error = message;
        return false;
    }
    bool isEntity(std::string_view type) const { return m_g.code == 0 && m_g.text == type; }
    bool flagValue(bool& set);
    TextGroupSpan spanOfText() const;

    bool readSection();
    bool readHeader();
    bool readBlocks();
    bool skipSection();
    bool readEntities(std::string_view endMarker);
    bool readInsert();
    bool readAttribute();

    Tokenizer& m_groups;
    const ChunkBuffer& m_buffer;
    const QByteArray& m_bytes;
    DxfFormat& m_format;
    const std::function<void(const AttributeSite&)>& m_found;
    Group m_g;
    QString m_error;
    SpaceOrder m_spaces;
    AttributeSite m_site;  // reused: its lists keep their memory from one attribute to the next
    std::uint32_t m_count = 0;
};

// 66 = 1: the integer forms the reader accepts, a real among them.
template <typename Tokenizer>
bool SiteScanner<Tokenizer>::flagValue(bool& set) {
    long long value = 0;
    if (m_g.kind == ValueKind::Integer) {
        value = m_g.integer;
    } else if (m_g.kind == ValueKind::Real && std::isfinite(m_g.real) &&
               std::fabs(m_g.real) <= 9.0e18) {
        value = static_cast<long long>(m_g.real);
    } else if (m_g.kind == ValueKind::Text) {
        std::string_view text = trimmed(m_g.text);
        if (!text.empty() && text.front() == '+') text.remove_prefix(1);
        const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) {
            double real = 0;
            const auto asReal = std::from_chars(text.data(), text.data() + text.size(), real);
            if (text.empty() || asReal.ec != std::errc() ||
                asReal.ptr != text.data() + text.size() || !std::isfinite(real) ||
                std::fabs(real) >= 9.0e18)
                return fail(
                    QStringLiteral("invalid value for group 66 at %1").arg(m_groups.where()));
            value = static_cast<long long>(real);
        }
    } else {
        return fail(QStringLiteral("invalid value for group 66 at %1").arg(m_groups.where()));
    }
    set = value == 1;
    return true;
}

// The current group, a text group, as offsets into the file.
template <typename Tokenizer>
TextGroupSpan SiteScanner<Tokenizer>::spanOfText() const {
    const qsizetype size = m_bytes.size();
    const char* bytes = m_bytes.constData();
    TextGroupSpan span;
    span.valueStart = static_cast<qsizetype>(m_buffer.offsetOf(m_g.text.data()));
    span.valueEnd = span.valueStart + static_cast<qsizetype>(m_g.text.size());
    if (m_format.binary) {
        // Codes 1 and 3 take one byte in a file with narrow codes, unless escaped (255, then
        // two bytes).
        qsizetype codeSize = 2;
        if (!m_format.wideCodes)
            codeSize = span.valueStart >= 1 && bytes[span.valueStart - 1] != 0 ? 1 : 3;
        span.groupStart = std::max<qsizetype>(span.valueStart - codeSize, 0);
        span.groupEnd = std::min(span.valueEnd + 1, size);
    } else {
        // The value line ends in LF or CR LF; the code line is the line before it.
        qsizetype end = span.valueEnd;
        if (end < size && bytes[end] == '\r') ++end;
        span.groupEnd = std::min(end + 1, size);
        qsizetype start = span.valueStart - 1;  // the code line's LF
        while (start > 0 && bytes[start - 1] != '\n') --start;
        span.groupStart = std::max<qsizetype>(start, 0);
    }
    return span;
}

template <typename Tokenizer>
QString SiteScanner<Tokenizer>::run() {
    if (!next())
        return m_groups.failed() ? m_groups.error() : QStringLiteral("the file holds no DXF data");
    bool sawSection = false;
    for (;;) {
        if (m_g.code == 999) {
            if (!next()) break;
            continue;
        }
        if (isEntity("SECTION")) {
            sawSection = true;
            if (!readSection()) break;
            continue;
        }
        if (isEntity("EOF")) return {};
        if (!sawSection)
            return QStringLiteral("not a DXF file: no SECTION at %1").arg(m_groups.where());
        fail(QStringLiteral("unexpected group %1 between sections at %2")
                 .arg(QString::number(m_g.code), m_groups.where()));
        break;
    }
    if (m_groups.failed()) return m_groups.error();
    return m_error.isEmpty() ? QStringLiteral("malformed DXF file") : m_error;
}

template <typename Tokenizer>
bool SiteScanner<Tokenizer>::readSection() {
    if (!next()) return false;
    if (m_g.code != 2)
        return fail(QStringLiteral("section without a name at %1").arg(m_groups.where()));
    bool ok;
    if (m_g.text == "HEADER") {
        ok = readHeader();
    } else if (m_g.text == "BLOCKS") {
        ok = readBlocks();
    } else if (m_g.text == "ENTITIES") {
        ok = next() && readEntities("ENDSEC");
    } else {
        ok = skipSection();
    }
    return ok && next();
}

template <typename Tokenizer>
bool SiteScanner<Tokenizer>::skipSection() {
    for (;;) {
        if (!next()) return false;
        if (m_g.code != 0) continue;
        if (m_g.text == "ENDSEC") return true;
        if (m_g.text == "EOF" || m_g.text == "SECTION")
            return fail(QStringLiteral("a section has no ENDSEC (%1)").arg(m_groups.where()));
    }
}

template <typename Tokenizer>
bool SiteScanner<Tokenizer>::readHeader() {
    enum class Variable { Other, Release, CodePage } variable = Variable::Other;
    for (;;) {
        if (!next()) return false;
        switch (m_g.code) {
            case 0:
                if (m_g.text == "ENDSEC") return true;
                return fail(
                    QStringLiteral("section HEADER has no ENDSEC (%1)").arg(m_groups.where()));
            case 9:
                variable = m_g.text == "$ACADVER"       ? Variable::Release
                           : m_g.text == "$DWGCODEPAGE" ? Variable::CodePage
                                                        : Variable::Other;
                break;
            case 1:
                if (variable == Variable::Release) m_format.release = trimmed(m_g.text);
                break;
            case 3:
                if (variable == Variable::CodePage) m_format.codePage = trimmed(m_g.text);
                break;
            default:
                break;
        }
    }
}

template <typename Tokenizer>
bool SiteScanner<Tokenizer>::readBlocks() {
    if (!next()) return false;
    for (;;) {
        while (m_g.code != 0)
            if (!skipEntity()) return false;
        if (m_g.text == "ENDSEC") return true;
        if (m_g.text == "EOF" || m_g.text == "SECTION")
            return fail(QStringLiteral("section BLOCKS has no ENDSEC (%1)").arg(m_groups.where()));
        if (m_g.text != "BLOCK") {
            if (!skipEntity()) return false;
            continue;
        }
        std::string name;
        bool more;
        while ((more = next()) && m_g.code != 0)
            if (m_g.code == 2 && name.empty()) name = m_g.text;
        if (!more) return false;
        const int space = m_spaces.layoutOfBlock(name);
        if (space == SpaceOrder::kNotALayout) {
            // The reader reads no reference inside an ordinary block: neither do we.
            while (!isEntity("ENDBLK")) {
                if (isEntity("ENDSEC") || isEntity("EOF"))
                    return fail(QStringLiteral("a block has no ENDBLK (%1)").arg(m_groups.where()));
                if (!skipEntity()) return false;
            }
        } else if (!readEntities("ENDBLK")) {
            return false;
        }
        if (isEntity("ENDSEC")) return true;
    }
}

template <typename Tokenizer>
bool SiteScanner<Tokenizer>::readEntities(std::string_view endMarker) {
    for (;;) {
        if (m_g.code != 0) {
            if (!skipEntity()) return false;
            continue;
        }
        if (m_g.text == endMarker) return true;
        if (m_g.text == "ENDSEC" && endMarker == "ENDBLK") return true;
        if (m_g.text == "EOF" || m_g.text == "SECTION" || m_g.text == "ENDSEC")
            return fail(QStringLiteral("a section has no ENDSEC (%1)").arg(m_groups.where()));
        if (m_g.text == "INSERT") {
            if (!readInsert()) return false;
        } else if (!skipEntity()) {
            return false;
        }
    }
}

template <typename Tokenizer>
bool SiteScanner<Tokenizer>::readInsert() {
    bool attributesFollow = false;
    while (next()) {
        if (m_g.code == 0) {
            if (attributesFollow) {
                while (isEntity("ATTRIB"))
                    if (!readAttribute()) return false;
                if (isEntity("SEQEND") && !skipEntity()) return false;
            }
            return true;
        }
        if (m_g.code == 66 && !flagValue(attributesFollow)) return false;
    }
    return false;
}

template <typename Tokenizer>
bool SiteScanner<Tokenizer>::readAttribute() {
    AttributeSite& site = m_site;
    site.ordinal = m_count;
    site.handle = HandleText();
    site.values.clear();
    site.embedded = false;
    site.embeddedText.clear();
    while (next()) {
        if (m_g.code == 0) {
            if (m_count == UINT32_MAX - 1) return fail(QStringLiteral("too many attributes"));
            ++m_count;
            m_found(site);
            return true;
        }
        if (site.embedded) {
            if (m_g.code == 3 || m_g.code == 1) site.embeddedText.push_back(spanOfText());
            continue;
        }
        switch (m_g.code) {
            case 5:
                site.handle.assign(trimmed(m_g.text));
                break;
            case 1:
                site.values.push_back(spanOfText());
                break;
            case 101:
                site.embedded = startsWith(m_g.text, "Embedded Object");
                break;
            default:
                break;
        }
    }
    return false;
}

template <typename Tokenizer>
core::Result<DxfFormat> scan(Tokenizer& groups, const ChunkBuffer& buffer, const QByteArray& dxf,
                             DxfFormat format,
                             const std::function<void(const AttributeSite&)>& found) {
    const QString problem = SiteScanner<Tokenizer>(groups, buffer, dxf, format, found).run();
    if (!problem.isEmpty()) return failure(errors::kMalformed, problem);
    return format;
}

}  // namespace

core::Result<DxfFormat> scanAttributeSites(const QByteArray& dxf,
                                           const std::function<void(const AttributeSite&)>& found) {
    std::size_t offset = 0;
    const auto size = static_cast<std::size_t>(dxf.size());
    ChunkBuffer buffer(
        [&](char* into, long long capacity) -> long long {
            const std::size_t count = std::min(size - offset, static_cast<std::size_t>(capacity));
            if (count > 0) std::memcpy(into, dxf.constData() + offset, count);
            offset += count;
            return static_cast<long long>(count);
        },
        // A small file needs no buffer larger than itself.
        std::clamp<std::size_t>(size, 64, kChunkSize),
        std::clamp<std::size_t>(size, 64, kMaxCarry));
    if (!buffer.refill(buffer.data()))
        return failure(errors::kFileAccess, QStringLiteral("the file could not be read"));
    const std::string_view head(buffer.data(),
                                static_cast<std::size_t>(buffer.end() - buffer.data()));
    if (head.empty()) return failure(errors::kNotADrawing, QStringLiteral("the file is empty"));

    DxfFormat format;
    if (startsWith(head, kBinarySentinel)) {
        format.binary = true;
        BinaryTokenizer groups(buffer, buffer.data() + kBinarySentinel.size());
        format.wideCodes = groups.wideCodes();
        return scan(groups, buffer, dxf, format, found);
    }
    std::size_t start = startsWith(head, "\xEF\xBB\xBF") ? 3 : 0;
    if (!looksLikeAsciiDxf(head.substr(start, 64)))
        return failure(errors::kNotADrawing, QStringLiteral("not a DXF file"));
    AsciiTokenizer groups(buffer, buffer.data() + start);
    return scan(groups, buffer, dxf, format, found);
}

}  // namespace drawing
