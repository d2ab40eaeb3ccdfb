// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/string_pool.h"

namespace drawing {

QString StringPool::get(std::string_view bytes) {
    const auto found = m_strings.find(bytes);
    if (found != m_strings.end()) return found->second;
    QString decoded = m_decoder.decode(bytes);
    if (m_strings.size() < kMaxEntries) m_strings.emplace(std::string(bytes), decoded);
    return decoded;
}

}  // namespace drawing
