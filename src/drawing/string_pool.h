// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Decoded names (blocks, layers, linetypes, tags) shared between records: a drawing repeats a
// handful of them thousands of times, and QString's implicit sharing keeps one copy each.

#include <QString>
#include <string>
#include <string_view>
#include <unordered_map>

#include "drawing/text_decoder.h"

namespace drawing {

class StringPool {
public:
    explicit StringPool(TextDecoder& decoder) : m_decoder(decoder) {}
    QString get(std::string_view bytes);

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };
    // A pathological file with millions of distinct names must not grow the pool forever.
    static constexpr std::size_t kMaxEntries = 1 << 16;

    TextDecoder& m_decoder;
    std::unordered_map<std::string, QString, Hash, std::equal_to<>> m_strings;
};

}  // namespace drawing
