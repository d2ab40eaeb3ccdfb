// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The non-entity objects the reader needs: the names of blocks, layers and linetypes, the
// entity chain of a block, and the tab order of a layout.

#include <cstdint>
#include <string>
#include <vector>

#include "drawing/dwg/object_reader.h"

namespace drawing::dwg {

// LAYER, LTYPE or BLOCK_HEADER: its entry name, as stored, and the handle of its extension
// dictionary (0 for none).
bool readEntryName(const RawObject& object, std::string& name,
                   std::uint64_t* extensionDictionary = nullptr);

struct BlockHeaderObject {
    ObjectCommon common;
    std::string name;
    // Up to R2000: the ends of its entity chain; 0 for an empty block or an external reference.
    std::uint64_t firstEntity = 0;
    std::uint64_t lastEntity = 0;
    // R2004 and later: every entity it owns, in drawing order.
    std::vector<std::uint64_t> entities;
    std::uint64_t layout = 0;
    std::vector<ExtendedData> extendedData;
};

bool readBlockHeader(const RawObject& object, BlockHeaderObject& out);

// The BLOCK_CONTROL object: the block definitions of the drawing's block table, and the
// model-space and active paper-space blocks, which it lists apart.
struct BlockControlObject {
    std::vector<std::uint64_t> entries;
    std::uint64_t modelSpace = 0;
    std::uint64_t paperSpace = 0;
};

bool readBlockControl(const RawObject& object, BlockControlObject& out);

struct LayoutObject {
    std::string name;  // as stored
    long long tabOrder = 0;
};

// The name and tab order of a LAYOUT object, or false when it cannot be read.
bool readLayout(const RawObject& object, LayoutObject& out);

}  // namespace drawing::dwg
