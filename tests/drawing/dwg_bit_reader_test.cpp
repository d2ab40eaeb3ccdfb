// SPDX-License-Identifier: GPL-3.0-or-later
// The DWG bit stream: each bit code read from hand-packed bits, and reads past the end. (The
// check value over the bytes is checked in every sample drawing read.)

#include <gtest/gtest.h>

#include <string>

#include "drawing/dwg/bit_reader.h"
#include "dwg_bytes.h"

namespace drawing::dwg {
namespace {

// The low `count` bits of `value`, the first of them the most significant.
std::string bits(std::uint64_t value, std::size_t count) {
    test::BitWriter writer;
    writer.bits(value, count);
    return writer.bytes();
}

TEST(DwgBitReader, BitShortCodes) {
    // 00 + raw short 0x1234 (low byte first), 01 + char 0xFF, 10, 11.
    const std::string bytes = bits(0b00'00110100'00010010'01'11111111'10'11, 32);
    BitReader r(bytes);
    EXPECT_EQ(r.bitShort(), 0x1234);
    EXPECT_EQ(r.bitShort(), 255);
    EXPECT_EQ(r.bitShort(), 0);
    EXPECT_EQ(r.bitShort(), 256);
    EXPECT_FALSE(r.failed());
}

TEST(DwgBitReader, BitDoubleAndDefaultDouble) {
    const std::string oneZero = bits(0b01'10, 4);
    BitReader ones(oneZero);
    EXPECT_EQ(ones.bitDouble(), 1.0);
    EXPECT_EQ(ones.bitDouble(), 0.0);
    // A default double with code 00 is the default itself.
    const std::string keep = bits(0b00, 2);
    BitReader defaults(keep);
    EXPECT_EQ(defaults.defaultDouble(2.5), 2.5);
    EXPECT_FALSE(defaults.failed());
}

TEST(DwgBitReader, ModularCharAndShort) {
    // 0x82 0x01: 2 + (1 << 7) = 130; a signed one: 0x41 is -1.
    const std::string mc("\x82\x01\x41", 3);
    BitReader r(mc);
    EXPECT_EQ(r.modularChar(), 130u);
    EXPECT_EQ(r.signedModularChar(), -1);
    const std::string ms("\x01\x80\x02\x00", 4);  // 1 + (2 << 15)
    BitReader s(ms);
    EXPECT_EQ(s.modularShort(), 1u + (2u << 15));
    EXPECT_FALSE(s.failed());
}

TEST(DwgBitReader, HandlesAndTheirReferences) {
    const std::string bytes("\x52\x01\x23\x60\xA1\x05", 6);
    BitReader r(bytes);
    const HandleRef absolute = r.handle();
    EXPECT_EQ(absolute.code, 5);
    EXPECT_EQ(absolute.resolve(0x99), 0x123u);
    EXPECT_EQ(r.handle().resolve(0x99), 0x9Au);  // code 6: the next handle
    EXPECT_EQ(r.handle().resolve(0x99), 0x9Eu);  // code 10: plus 5
    EXPECT_FALSE(r.failed());
}

TEST(DwgBitReader, TextDropsATerminatingZero) {
    // BS 01 + length 3, then "ab\0".
    const std::string bytes = bits(0b01'00000011'01100001'01100010'00000000, 34);
    BitReader r(bytes);
    EXPECT_EQ(r.text(), "ab");
    EXPECT_FALSE(r.failed());
}

TEST(DwgBitReader, ReadingPastTheEndFailsAndStaysFailed) {
    const std::string bytes("\xFF", 1);
    BitReader r(bytes);
    r.rawShort();  // its value means nothing once the read fails
    EXPECT_TRUE(r.failed());
    EXPECT_EQ(r.bit(), 0u);
    EXPECT_TRUE(r.failed());
    const std::string lengthOnly = bits(0b01'11111111, 10);  // 255 bytes announced, none there
    BitReader text(lengthOnly);
    EXPECT_EQ(text.text(), "");
    EXPECT_TRUE(text.failed());
    BitReader window(bytes, 4, 6);
    EXPECT_EQ(window.twoBits(), 3u);
    window.bit();
    EXPECT_TRUE(window.failed());
}

}  // namespace
}  // namespace drawing::dwg
