// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The object map: where each object (by handle) starts: in the file (up to R2000) or in the
// objects section (later releases). It is stored in
// sections of at most 2032 bytes, each a list of (handle, offset) deltas from the previous
// pair, followed by a check value.

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

    // Reads the map's bytes `map`; every offset must lie within `objectsSize` bytes.
    static std::optional<ObjectMap> read(std::string_view map, std::size_t objectsSize,
                                         bool verifyCheckValues, QString& problem);
    // The map's bytes for `entries`, in their order, cut into sections as AutoCAD does: up to
    // R2000 (`pagedFile` false) a section takes pairs while it holds fewer than 2031 bytes,
    // later ones only pairs that keep it within 2032 bytes, its size included.
    static std::string write(const std::vector<Entry>& entries, bool pagedFile);
    // The map with the object `handle` (which it lists) moved to `offset`.
    void move(std::uint64_t handle, std::uint32_t offset);

private:
    std::vector<Entry> m_entries;
};

}  // namespace drawing::dwg
