// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/round_trip.h"

#include <optional>
#include <vector>

#include "drawing/dwg/byte_order.h"

namespace drawing::dwg {

namespace {

constexpr std::string_view kNamesMarker = "EXTNAMES";
constexpr int kMarkerCode = 102;
constexpr int kStoredNameCode = 1;
constexpr int kShownNameCode = 2;

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

bool isTextCode(int code) {
    return (code >= 0 && code <= 9) || (code >= 100 && code <= 109) ||
           (code >= 300 && code <= 309) || (code >= 410 && code <= 419) ||
           (code >= 430 && code <= 439) || (code >= 470 && code <= 479) || code == 999 ||
           (code >= 1000 && code <= 1003) || (code >= 1005 && code <= 1009);
}

bool isBinaryCode(int code) {
    return (code >= 310 && code <= 319) || code == 1004;
}

// The bytes a value of a group code takes that is neither a text nor binary data; nothing for
// a code these records do not use.
std::optional<std::size_t> valueSize(int code) {
    if ((code >= 10 && code <= 18) || (code >= 110 && code <= 112) || code == 210 ||
        (code >= 1010 && code <= 1013))
        return 24;  // a point
    if ((code >= 19 && code <= 59) || (code >= 140 && code <= 149) ||
        (code >= 160 && code <= 169) || (code >= 460 && code <= 469) ||
        (code >= 1040 && code <= 1042))
        return 8;  // a real or a 64-bit integer
    if ((code >= 60 && code <= 79) || (code >= 170 && code <= 179) ||
        (code >= 270 && code <= 279) || (code >= 370 && code <= 389) ||
        (code >= 400 && code <= 409) || (code >= 1060 && code <= 1070))
        return 2;
    if ((code >= 90 && code <= 99) || (code >= 420 && code <= 429) ||
        (code >= 440 && code <= 459) || code == 1071)
        return 4;
    if (code >= 280 && code <= 299) return 1;
    if ((code >= 320 && code <= 369) || (code >= 390 && code <= 399) ||
        (code >= 480 && code <= 481))
        return 8;  // a handle
    return std::nullopt;
}

// The items of an XRECORD's data: each a group code (RS), then its value. Texts are a length
// (RS) and a code page (RC) before their bytes, as before R2007.
class Items {
public:
    explicit Items(std::string_view data) : m_data(data) {}

    // The next item's code and, for a text, its bytes; false at the end or at what cannot be
    // read.
    bool next(int& code, std::string_view& text) {
        if (m_data.size() - m_at < 2) return false;
        code = static_cast<std::int16_t>(le16(m_data, m_at));
        m_at += 2;
        text = {};
        if (isTextCode(code)) {
            if (m_data.size() - m_at < 3) return false;
            const std::size_t length = le16(m_data, m_at);
            m_at += 3;
            return take(length, text);
        }
        if (isBinaryCode(code)) {
            if (m_data.size() - m_at < 1) return false;
            const std::size_t length = static_cast<unsigned char>(m_data[m_at++]);
            return take(length, text);
        }
        const auto size = valueSize(code);
        return size && take(*size, text);
    }

private:
    bool take(std::size_t count, std::string_view& bytes) {
        if (m_data.size() - m_at < count) return false;
        bytes = m_data.substr(m_at, count);
        m_at += count;
        return true;
    }

    std::string_view m_data;
    std::size_t m_at = 0;
};

}  // namespace

std::uint64_t dictionaryEntry(const RawObject& dictionary, std::string_view key) {
    ObjectStreams in(dictionary);
    BitReader& data = in.data;
    ObjectCommon common;
    if (!readObjectCommon(in, common)) return 0;
    const auto count = static_cast<std::uint32_t>(data.bitLong());
    if (in.release == Release::R14) {
        data.rawChar();  // always 0
    } else if (in.atLeast(Release::R2000)) {
        data.bitShort();  // cloning
        data.rawChar();   // hard owner
    }
    // Each entry takes at least a byte of name and a byte of handle.
    if (data.failed() || count > data.remaining() / 8) return 0;
    std::vector<std::string> names;
    names.reserve(count);
    for (std::uint32_t i = 0; i < count && !in.failed(); ++i) names.push_back(in.text());
    for (std::uint32_t i = 0; i < count && !in.failed(); ++i) {
        const std::uint64_t handle = in.handles.handle().resolve(common.handle);
        if (!in.failed() && names[i] == key) return handle;
    }
    return 0;
}

std::string shownEntryName(const RawObject& xrecord, std::string_view storedName) {
    // From R2007 texts are UTF-16, and names are kept as shown anyway.
    if (xrecord.release >= Release::R2007) return {};
    ObjectStreams in(xrecord);
    BitReader& data = in.data;
    ObjectCommon common;
    if (!readObjectCommon(in, common)) return {};
    const auto size = static_cast<std::uint32_t>(data.bitLong());
    if (data.failed() || size > data.remaining() / 8) return {};
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(data.rawChar());

    Items items(bytes);
    int code = 0;
    std::string_view text;
    bool inNames = false;
    bool storedMatches = false;
    while (items.next(code, text)) {
        if (code == kMarkerCode) {
            inNames = text == kNamesMarker;
        } else if (inNames && code == kStoredNameCode) {
            storedMatches = sameIgnoringCase(text, storedName);
        } else if (inNames && code == kShownNameCode && storedMatches) {
            return std::string(text);
        }
    }
    return {};
}

}  // namespace drawing::dwg
