// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One group (code and value) as the tokenizers hand it to the parser. Text values point into
// the chunk buffer and stay valid only until the next group is read.

#include <cstdint>
#include <string_view>

namespace drawing {

enum class ValueKind : std::uint8_t { Text, Real, Integer, Binary };

struct Group {
    int code = 0;
    ValueKind kind = ValueKind::Text;
    std::string_view text;  // Text and Binary values
    double real = 0;
    std::int64_t integer = 0;
};

}  // namespace drawing
