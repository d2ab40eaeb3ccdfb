// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/space_order.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace drawing {

namespace {

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

}  // namespace

int SpaceOrder::layoutOfBlock(std::string_view blockName) {
    std::string key = upper(blockName);
    // R12 writers name the space blocks with a dollar sign.
    if (!key.empty() && key.front() == '$') key.front() = '*';
    if (key == "*MODEL_SPACE") return kModelSpace;
    if (!startsWith(key, "*PAPER_SPACE")) return kNotALayout;
    const auto found = m_layoutByName.find(key);
    if (found != m_layoutByName.end()) return found->second;
    const int id = static_cast<int>(m_layouts.size());
    m_layouts.push_back(Layout{{}, key == "*PAPER_SPACE"});
    m_layoutByName.emplace(std::move(key), id);
    return id;
}

void SpaceOrder::setBlockRecord(int layout, std::string_view recordHandle) {
    if (layout >= 0 && layout < static_cast<int>(m_layouts.size()))
        m_layouts[static_cast<std::size_t>(layout)].recordHandle = upper(recordHandle);
}

void SpaceOrder::addLayoutObject(long long tabOrder, std::string_view recordHandle, QString name) {
    if (!recordHandle.empty())
        m_layoutObjectByRecord.emplace(upper(recordHandle),
                                       LayoutObject{tabOrder, std::move(name)});
}

std::vector<std::uint32_t> SpaceOrder::enumerate(
    const std::vector<std::int32_t>& layoutOfInsert) const {
    // Rank of each layout: its tab order; a layout without a LAYOUT object goes after the
    // others, except the active one, which is the only paper space of an R12 file.
    std::vector<std::pair<long long, int>> ranked;
    ranked.reserve(m_layouts.size());
    for (std::size_t i = 0; i < m_layouts.size(); ++i) {
        const Layout& layout = m_layouts[i];
        long long rank = layout.active ? LLONG_MIN + 1 : LLONG_MAX;
        const auto found = m_layoutObjectByRecord.find(layout.recordHandle);
        if (!layout.recordHandle.empty() && found != m_layoutObjectByRecord.end())
            rank = found->second.tabOrder;
        ranked.emplace_back(rank, static_cast<int>(i));
    }
    std::stable_sort(ranked.begin(), ranked.end());
    std::vector<int> position(m_layouts.size());
    for (std::size_t i = 0; i < ranked.size(); ++i)
        position[static_cast<std::size_t>(ranked[i].second)] = static_cast<int>(i) + 1;

    std::vector<std::uint32_t> order(layoutOfInsert.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    const auto key = [&](std::uint32_t i) {
        const int layout = layoutOfInsert[i];
        return layout < 0 ? 0 : position[static_cast<std::size_t>(layout)];
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return key(a) < key(b); });
    return order;
}

void SpaceOrder::finish(Drawing& drawing, const std::vector<std::int32_t>& layoutOfInsert) const {
    drawing.enumeration = enumerate(layoutOfInsert);
    std::vector<QString> names(m_layouts.size());
    for (std::size_t i = 0; i < m_layouts.size(); ++i) {
        const auto found = m_layoutObjectByRecord.find(m_layouts[i].recordHandle);
        if (!m_layouts[i].recordHandle.empty() && found != m_layoutObjectByRecord.end())
            names[i] = found->second.name;
    }
    const std::size_t count = std::min(layoutOfInsert.size(), drawing.inserts.size());
    for (std::size_t i = 0; i < count; ++i) {
        const int layout = layoutOfInsert[i];
        if (layout >= 0 && static_cast<std::size_t>(layout) < names.size())
            drawing.inserts[i].layout = names[static_cast<std::size_t>(layout)];
    }
}

}  // namespace drawing
