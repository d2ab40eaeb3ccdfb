// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The back-reference copy both LZ77 decompressors share.

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

namespace drawing::dwg {

// Appends `length` bytes to `out`, copied from `distance` bytes back; the caller has checked
// that 0 < distance <= out.size(). When the source overlaps what is written, the result is
// that of a copy byte by byte: the last `distance` bytes repeat.
inline void copyBack(std::string& out, std::size_t distance, std::size_t length) {
    const std::size_t at = out.size();
    out.resize(at + length);
    char* const to = out.data() + at;
    const char* const from = to - distance;
    // With `done` a multiple of `distance`, the bytes from `from` on repeat the pattern for
    // done + distance bytes, none of them among those being written: each copy doubles.
    for (std::size_t done = 0; done < length;) {
        const std::size_t n = std::min(done + distance, length - done);
        std::memcpy(to + done, from, n);
        done += n;
    }
}

}  // namespace drawing::dwg
