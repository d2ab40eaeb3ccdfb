// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/drawing_model.h"

#include <algorithm>

namespace drawing {

void HandleText::assign(std::string_view text) {
    m_size = static_cast<std::uint8_t>(std::min(text.size(), kCapacity));
    std::copy_n(text.data(), m_size, m_chars.data());
}

qint64 handleValue(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.empty() || text.size() > 16) return 0;
    quint64 value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else {
            return 0;
        }
        value = value * 16 + static_cast<quint64>(digit);
    }
    return static_cast<qint64>(value);
}

}  // namespace drawing
