// SPDX-License-Identifier: GPL-3.0-or-later
// The DWG bit writer against the reader: every code written, at every bit offset, reads back
// as written, in the shortest encoding.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "drawing/dwg/bit_reader.h"
#include "drawing/dwg/bit_writer.h"

namespace drawing::dwg {
namespace {

struct Code {
    const char* name;
    std::function<void(BitWriter&)> write;
    std::function<bool(BitReader&)> readsBack;
    std::size_t bits;  // the encoding's length
};

const std::vector<Code>& codes() {
    static const std::vector<Code> table = {
        {"B", [](BitWriter& w) { w.bit(true); }, [](BitReader& r) { return r.bit() == 1; }, 1},
        {"RC", [](BitWriter& w) { w.rawChar(0xA5); },
         [](BitReader& r) { return r.rawChar() == 0xA5; }, 8},
        {"RS", [](BitWriter& w) { w.rawShort(0xBEEF); },
         [](BitReader& r) { return r.rawShort() == 0xBEEF; }, 16},
        {"RL", [](BitWriter& w) { w.rawLong(0x12345678); },
         [](BitReader& r) { return r.rawLong() == 0x12345678; }, 32},
        {"RD", [](BitWriter& w) { w.rawDouble(-2.75); },
         [](BitReader& r) { return r.rawDouble() == -2.75; }, 64},
        {"BS 0", [](BitWriter& w) { w.bitShort(0); },
         [](BitReader& r) { return r.bitShort() == 0; }, 2},
        {"BS 256", [](BitWriter& w) { w.bitShort(256); },
         [](BitReader& r) { return r.bitShort() == 256; }, 2},
        {"BS 255", [](BitWriter& w) { w.bitShort(255); },
         [](BitReader& r) { return r.bitShort() == 255; }, 10},
        {"BS -2", [](BitWriter& w) { w.bitShort(-2); },
         [](BitReader& r) { return r.bitShort() == -2; }, 18},
        {"BL 0", [](BitWriter& w) { w.bitLong(0); }, [](BitReader& r) { return r.bitLong() == 0; },
         2},
        {"BL 200", [](BitWriter& w) { w.bitLong(200); },
         [](BitReader& r) { return r.bitLong() == 200; }, 10},
        {"BL 70000", [](BitWriter& w) { w.bitLong(70000); },
         [](BitReader& r) { return r.bitLong() == 70000; }, 34},
        {"BD 0", [](BitWriter& w) { w.bitDouble(0.0); },
         [](BitReader& r) { return r.bitDouble() == 0.0; }, 2},
        {"BD 1", [](BitWriter& w) { w.bitDouble(1.0); },
         [](BitReader& r) { return r.bitDouble() == 1.0; }, 2},
        {"BD -0", [](BitWriter& w) { w.bitDouble(-0.0); },
         [](BitReader& r) { return std::signbit(r.bitDouble()); }, 66},
        {"BD 3.5", [](BitWriter& w) { w.bitDouble(3.5); },
         [](BitReader& r) { return r.bitDouble() == 3.5; }, 66},
        {"MC 130", [](BitWriter& w) { w.modularChar(130); },
         [](BitReader& r) { return r.modularChar() == 130; }, 16},
        {"MC big", [](BitWriter& w) { w.modularChar(0x123456789ull); },
         [](BitReader& r) { return r.modularChar() == 0x123456789ull; }, 40},
        {"signed MC -1", [](BitWriter& w) { w.signedModularChar(-1); },
         [](BitReader& r) { return r.signedModularChar() == -1; }, 8},
        {"signed MC 64", [](BitWriter& w) { w.signedModularChar(64); },
         [](BitReader& r) { return r.signedModularChar() == 64; }, 16},
        {"signed MC -100000", [](BitWriter& w) { w.signedModularChar(-100000); },
         [](BitReader& r) { return r.signedModularChar() == -100000; }, 24},
        {"MS 5", [](BitWriter& w) { w.modularShort(5); },
         [](BitReader& r) { return r.modularShort() == 5; }, 16},
        {"MS 70000", [](BitWriter& w) { w.modularShort(70000); },
         [](BitReader& r) { return r.modularShort() == 70000; }, 32},
        {"H absolute",
         [](BitWriter& w) {
             w.handle({5, 0x1F2});
         },
         [](BitReader& r) {
             const HandleRef h = r.handle();
             return h.code == 5 && h.value == 0x1F2;
         },
         24},
        {"H none",
         [](BitWriter& w) {
             w.handle({4, 0});
         },
         [](BitReader& r) { return r.handle().value == 0; }, 8},
        {"TV", [](BitWriter& w) { w.text("ab\xE9"); },
         [](BitReader& r) { return r.text() == "ab\xE9"; }, 10 + 24},
        {"TV empty", [](BitWriter& w) { w.text(""); },
         [](BitReader& r) { return r.text().empty(); }, 2},
        {"TU", [](BitWriter& w) { w.unicodeText("\xC3\xA9\xF0\x9F\x98\x80"); },
         [](BitReader& r) { return r.unicodeText() == "\xC3\xA9\xF0\x9F\x98\x80"; }, 10 + 48},
    };
    return table;
}

TEST(DwgBitWriter, EveryCodeReadsBackAtEveryBitOffset) {
    for (const Code& code : codes()) {
        for (unsigned lead = 0; lead < 8; ++lead) {
            BitWriter w;
            w.bits(0x55, lead);
            code.write(w);
            w.bit(true);  // what follows is found where it belongs
            EXPECT_EQ(w.bitSize(), lead + code.bits + 1) << code.name << " after " << lead;
            BitReader r(w.bytes());
            r.skipBits(lead);
            EXPECT_TRUE(code.readsBack(r)) << code.name << " after " << lead;
            EXPECT_EQ(r.bit(), 1u) << code.name;
            EXPECT_FALSE(r.failed()) << code.name;
        }
    }
}

TEST(DwgBitWriter, CopiedAndOverwrittenBits) {
    BitWriter source;
    for (const Code& code : codes()) code.write(source);
    // Copying any range at any offset gives the same bits.
    for (const auto& [begin, end] :
         {std::pair<std::size_t, std::size_t>{0, source.bitSize()}, {3, 77}, {9, 10}, {13, 13}}) {
        BitWriter copy;
        copy.bits(1, 5);
        copy.copyBits(source.bytes(), begin, end);
        ASSERT_EQ(copy.bitSize(), 5 + end - begin);
        BitReader a(source.bytes(), begin, end);
        BitReader b(copy.bytes(), 5, copy.bitSize());
        while (a.remaining() > 0) ASSERT_EQ(a.bit(), b.bit()) << begin << ".." << end;
    }
    BitWriter w;
    w.rawLong(0);
    w.bit(true);
    w.overwrite(3, 0x1FF, 9);
    BitReader r(w.bytes(), 0, w.bitSize());
    std::string seen;
    while (r.remaining() > 0) seen += r.bit() ? '1' : '0';
    EXPECT_EQ(seen, "000111111111" + std::string(20, '0') + "1");
}

}  // namespace
}  // namespace drawing::dwg
