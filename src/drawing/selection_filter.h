// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The filter of a selection set (parallel arrays of group codes and values) over the reader's
// block references. The codes the engine passes: 0 entity type, 67 space (0 model, 1 paper),
// 2 block name, 8 layer name. Names compare ignoring letter case, like the automation model's
// own filter; wildcards are not interpreted.

#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

#include "core/result.h"
#include "drawing/drawing_model.h"

namespace drawing {

class SelectionFilter {
public:
    // An unknown group code, or arrays of different lengths, is an error.
    static core::Result<SelectionFilter> parse(const std::vector<qint16>& types,
                                               const std::vector<QVariant>& data);
    bool matches(const InsertRecord& insert) const;

private:
    bool m_matchesNothing = false;  // an entity type other than INSERT
    std::optional<bool> m_paperSpace;
    std::vector<QString> m_names;
    std::vector<QString> m_layers;
};

}  // namespace drawing
