// SPDX-License-Identifier: GPL-3.0-or-later
// The page layer of AC1018-AC1032 files (R2004 compression): the sections of real drawings,
// the decompressor on hand-made streams, and broken files that must fail cleanly.

#include <gtest/gtest.h>

#include <random>

#include "drawing/dwg/crc16.h"
#include "drawing/dwg/lz77_r2004.h"
#include "drawing/dwg/sections.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

using dwg::readPagedSections;
using dwg::SectionOptions;

struct PagedDrawing {
    const char* name;
    int codePage;
};

constexpr PagedDrawing kPagedDrawings[] = {
    {"example_2004.dwg", 30}, {"example_2010.dwg", 30}, {"gh209_1_2010.dwg", 34},
    {"example_2013.dwg", 30}, {"example_2018.dwg", 30},
};

bool startsWith(const std::string& bytes, std::string_view prefix) {
    return std::string_view(bytes).substr(0, prefix.size()) == prefix;
}

TEST(DwgPagedSections, RealDrawingsGiveTheFourSections) {
    constexpr std::string_view kHeaderSentinel(
        "\xCF\x7B\x1F\x23\xFD\xDE\x38\xA9\x5F\x7C\x68\xB8\x4E\x6D\x33\x5F", 16);
    constexpr std::string_view kClassesSentinel(
        "\x8D\xA1\xC4\xB8\xC4\xA9\xF8\xC5\xC0\xDC\xF4\x5F\xE7\xCF\xB6\x8A", 16);
    constexpr std::string_view kObjectsStart("\xCA\x0D\x00\x00", 4);
    for (const PagedDrawing& drawing : kPagedDrawings) {
        SCOPED_TRACE(drawing.name);
        const std::string file = autocadBytes(QString::fromLatin1(drawing.name));
        ASSERT_FALSE(file.empty());
        QString problem;
        const auto sections = readPagedSections(file, SectionOptions{}, problem);
        ASSERT_TRUE(sections) << problem.toStdString();
        EXPECT_TRUE(problem.isEmpty());
        EXPECT_EQ(sections->codePage, drawing.codePage);
        EXPECT_EQ(sections->maintenanceRelease, static_cast<unsigned char>(file[0x0B]));
        EXPECT_TRUE(startsWith(sections->header, kHeaderSentinel));
        EXPECT_TRUE(startsWith(sections->classes, kClassesSentinel));
        EXPECT_TRUE(startsWith(sections->objects, kObjectsStart));

        // The object map: sections of a big-endian size (counting itself) and a check value,
        // the last one of size 2.
        const std::string_view handles = sections->handles;
        std::size_t at = 0;
        int mapSections = 0;
        for (;;) {
            ASSERT_GE(handles.size() - at, 4u);
            const std::size_t size = (unsigned{static_cast<unsigned char>(handles[at])} << 8) |
                                     static_cast<unsigned char>(handles[at + 1]);
            if (size == 2) break;
            ASSERT_GT(size, 2u);
            ASSERT_LE(size + 2, handles.size() - at);
            const unsigned stored =
                (unsigned{static_cast<unsigned char>(handles[at + size])} << 8) |
                static_cast<unsigned char>(handles[at + size + 1]);
            EXPECT_EQ(dwg::crc16(handles.substr(at, size), 0xC0C1), stored);
            at += size + 2;
            ++mapSections;
        }
        EXPECT_GT(mapSections, 0);
    }
}

TEST(DwgPagedSections, DecompressorHandlesLiteralsAndOverlappingCopies) {
    std::string out;
    // Four literals, then the end.
    EXPECT_TRUE(dwg::decompressR2004(std::string_view("\x01"
                                                      "abcd\x11",
                                                      6),
                                     out, 100));
    EXPECT_EQ(out, "abcd");
    // A copy of 4 bytes from 4 back (opcode 0x5C, offset byte 0x00), then the end.
    EXPECT_TRUE(dwg::decompressR2004(std::string_view("\x01"
                                                      "abcd\x5C\x00\x11",
                                                      8),
                                     out, 100));
    EXPECT_EQ(out, "abcdabcd");
    // A copy of 6 bytes from 1 back repeats the last byte.
    EXPECT_TRUE(dwg::decompressR2004(std::string_view("\x01"
                                                      "abcd\x70\x00\x11",
                                                      8),
                                     out, 100));
    EXPECT_EQ(out, "abcddddddd");
    // A copy of 34 bytes (long form 0x20, length byte 0x01) from 4 back, then two literals.
    EXPECT_TRUE(dwg::decompressR2004(std::string_view("\x01"
                                                      "abcd\x20\x01\x0E\x00"
                                                      "xy\x11",
                                                      12),
                                     out, 100));
    EXPECT_EQ(out, "abcd" + std::string("abcdabcdabcdabcdabcdabcdabcdabcdab") + "xy");
}

TEST(DwgPagedSections, DecompressorRejectsMalformedStreams) {
    std::string out;
    const std::pair<const char*, std::string_view> cases[] = {
        {"empty", std::string_view()},
        {"no end", std::string_view("\x01"
                                    "abcd",
                                    5)},
        {"literals beyond the input", std::string_view("\x0F"
                                                       "ab",
                                                       3)},
        {"copy before the start", std::string_view("\x01"
                                                   "abcd\x5C\x01\x11",
                                                   8)},
        {"opcode without its offset", std::string_view("\x01"
                                                       "abcd\x5C",
                                                       6)},
        {"endless length", std::string_view("\x00\x00\x00\x00", 4)},
        {"output beyond the limit", std::string_view("\x01"
                                                     "abcd\x20\xFF\x0E\x00\x11",
                                                     10)},
    };
    for (const auto& [name, stream] : cases)
        EXPECT_FALSE(dwg::decompressR2004(stream, out, 100)) << name;
}

TEST(DwgPagedSections, BrokenFilesFailWithAReason) {
    const std::string good = autocadBytes(u"example_2004.dwg"_qs);
    ASSERT_FALSE(good.empty());
    // System pages are not masked: their type marks where the two maps lie.
    const std::size_t pageMap = good.find(std::string_view("\x3B\x0E\x63\x41", 4));
    const std::size_t sectionMap = good.find(std::string_view("\x3B\x00\x63\x41", 4));
    ASSERT_NE(pageMap, std::string::npos);
    ASSERT_NE(sectionMap, std::string::npos);

    std::string encrypted = good;
    encrypted[0x18] = 1;
    std::mt19937 random(2004);
    std::string garbage(4096, '\0');
    for (char& c : garbage) c = static_cast<char>(random());
    garbage.replace(0, 6, "AC1018");

    const std::pair<const char*, std::string> cases[] = {
        {"zero length", std::string()},
        {"truncated in the plain header", good.substr(0, 0x40)},
        {"truncated after the file header", good.substr(0, 0x100)},
        {"truncated in half", good.substr(0, good.size() / 2)},
        {"truncated in the page map", good.substr(0, pageMap + 30)},
        {"flipped byte in the encrypted header", flipped(good, 0x80 + 0x54)},
        {"flipped byte in the page map", flipped(good, pageMap + 40)},
        {"flipped byte in the section map", flipped(good, sectionMap + 60)},
        {"flipped byte in a data page", flipped(good, 0x8740 + 100)},
        {"garbage", garbage},
        {"password-protected", encrypted},
    };
    for (const auto& [name, bytes] : cases) {
        QString problem;
        EXPECT_FALSE(readPagedSections(bytes, SectionOptions{}, problem)) << name;
        EXPECT_FALSE(problem.isEmpty()) << name;
    }
    QString problem;
    EXPECT_FALSE(readPagedSections(encrypted, SectionOptions{}, problem));
    EXPECT_EQ(problem, u"the drawing is password-protected"_qs);
    EXPECT_FALSE(readPagedSections(good.substr(0, pageMap + 30), SectionOptions{}, problem));
    EXPECT_EQ(problem, u"the file is truncated"_qs);
}

TEST(DwgPagedSections, MutatedFilesNeverCrashWithoutCheckValues) {
    // Without the check values, corrupt bytes reach the maps and the decompressor.
    std::mt19937 random(18);
    for (const PagedDrawing& drawing : kPagedDrawings) {
        const std::string good = autocadBytes(QString::fromLatin1(drawing.name));
        ASSERT_FALSE(good.empty());
        for (int round = 0; round < 40; ++round) {
            std::string bytes = good;
            for (int flips = 0; flips < 8; ++flips) {
                // Half the flips go to the maps at the end, where they do the most harm.
                const std::size_t from = (flips % 2 == 0) ? 0 : bytes.size() - 0x400;
                const std::size_t at = from + random() % (bytes.size() - from);
                bytes[at] = static_cast<char>(random());
            }
            QString problem;
            const auto sections = readPagedSections(bytes, SectionOptions{false}, problem);
            EXPECT_TRUE(sections || !problem.isEmpty());
        }
    }
}

}  // namespace
}  // namespace drawing::test
