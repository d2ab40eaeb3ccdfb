// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Reed-Solomon coding of AC1021 (R2007) pages: code words of 255 bytes, k data bytes then
// 255 - k parity bytes, written byte by byte interleaved when a page holds several. Only the
// data bytes are taken out; errors are detected, not corrected.

#include <cstddef>
#include <string>
#include <string_view>

namespace drawing::dwg {

enum class ReedSolomonCode {
    SystemPage,  // (255, 239): the file header, page map and section map
    DataPage,    // (255, 251): the pages of data sections
};

constexpr std::size_t kReedSolomonWord = 255;
constexpr std::size_t reedSolomonDataSize(ReedSolomonCode code) {
    return code == ReedSolomonCode::SystemPage ? 239 : 251;
}

// The data bytes of `factor` code words interleaved at the start of `encoded`, which must hold
// at least factor * 255 bytes.
std::string deinterleaveReedSolomon(std::string_view encoded, std::size_t factor,
                                    ReedSolomonCode code);

// `factor` code words interleaved: the data bytes of word w are data[w * k .. w * k + k), zero
// where `data` ends before (it holds at most factor * k bytes), then their parity.
std::string interleaveReedSolomon(std::string_view data, std::size_t factor, ReedSolomonCode code);

// Whether each of those `factor` code words is a valid code word (all syndromes zero).
bool reedSolomonWordsValid(std::string_view encoded, std::size_t factor, ReedSolomonCode code);

}  // namespace drawing::dwg
