#pragma once

// The object map: where in the file each object (by handle) starts. It is stored in
// sections of at most 2032 bytes, each a list of (handle, offset) deltas from the previous
// pair, followed by a check value.

#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/drawing/dwg/file_header.h"

namespace drawing::dwg {

class ObjectMap {
public:
    struct Entry {
        std::uint64_t handle;
        std::uint32_t offset;
    };

    // The file offset of the object `handle`, or nothing when the map has no such handle.
    std::optional<std::uint32_t> find(std::uint64_t handle) const;
    // Every entry in ascending handle order.
    const std::vector<Entry>& entries() const { return m_entries; }

    static std::optional<ObjectMap> read(std::string_view file, const SectionLocation& where,
                                         bool verifyCheckValues, QString& problem);

private:
    std::vector<Entry> m_entries;
};

}  // namespace drawing::dwg
