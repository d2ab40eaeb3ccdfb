// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The order references are enumerated in: model space in file order, then each paper-space
// layout in tab order (LAYOUT objects, group 71), each in file order. A layout's references
// sit in ENTITIES (the active layout) or in its *Paper_SpaceN block, but the LAYOUT objects
// that give the order come last in the file, so references are grouped by layout block during
// the pass and ordered at the end.

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "drawing/drawing_model.h"

namespace drawing {

class SpaceOrder {
public:
    static constexpr int kModelSpace = -1;

    // Which space a block definition's references belong to: kModelSpace for the model-space
    // block, a layout number for a paper-space block, kNotALayout for any other block (whose
    // references are nested, never top level).
    static constexpr int kNotALayout = -2;
    int layoutOfBlock(std::string_view blockName);
    // The active layout, whose references ENTITIES holds with 67 = 1.
    int activePaperSpace() { return layoutOfBlock("*Paper_Space"); }
    void setBlockRecord(int layout, std::string_view recordHandle);
    // `name`: the layout's name as its tab shows it.
    void addLayoutObject(long long tabOrder, std::string_view recordHandle, QString name = {});

    // `layoutOfInsert[i]` is the space of the i-th reference in file order.
    std::vector<std::uint32_t> enumerate(const std::vector<std::int32_t>& layoutOfInsert) const;
    // Sets the enumeration and each paper-space reference's layout name.
    void finish(Drawing& drawing, const std::vector<std::int32_t>& layoutOfInsert) const;

private:
    struct Layout {
        std::string recordHandle;  // upper case
        bool active = false;
    };
    std::unordered_map<std::string, int> m_layoutByName;  // block name, upper case
    std::vector<Layout> m_layouts;                        // in order of first sight
    struct LayoutObject {
        long long tabOrder = 0;
        QString name;
    };
    std::unordered_map<std::string, LayoutObject> m_layoutObjectByRecord;
};

}  // namespace drawing
