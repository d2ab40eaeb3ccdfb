// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The LZ77 variant that compresses the pages of AC1018 and later files (R2004 up to R2018,
// not R2007): literal runs and back references, ended by the opcode 0x11. Decompressing in
// lz77_r2004.cpp, compressing in lz77_r2004_writer.cpp.

#include <cstddef>
#include <string>
#include <string_view>

namespace drawing::dwg {

// Decompresses `compressed` into `out` (replacing its contents). False, with `out` in an
// unspecified state, when the data is malformed: a read past the end of the input, a back
// reference before the start of the output, or more than `maxSize` bytes of output.
bool decompressR2004(std::string_view compressed, std::string& out, std::size_t maxSize);

// The shortest literal run the method can code.
inline constexpr std::size_t kMinLiteralRun = 4;

// A stream that decompresses to `data` (at least kMinLiteralRun bytes): one literal run and
// the end, without back references. Every reader of the format takes it, the stream is only a
// few bytes longer than the data, and its length depends on the data's length alone.
std::string literalStreamR2004(std::string_view data);

// A stream that decompresses to `data` (at least kMinLiteralRun bytes): literal runs and back
// references to the longest earlier matches it finds (none overlapping the bytes it makes).
std::string compressR2004(std::string_view data);

}  // namespace drawing::dwg
