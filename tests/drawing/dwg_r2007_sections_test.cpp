// SPDX-License-Identifier: GPL-3.0-or-later
// The page and section layer of AC1021 (R2007) files: the four sections the object reader needs
// come out of a real AutoCAD drawing, and broken copies of it fail with a reason, never a crash,
// a hang or a read outside the buffer (the ASan build runs these too).

#include <gtest/gtest.h>

#include <random>

#include "drawing/dwg/lz77_r2007.h"
#include "drawing/dwg/r2007_section_map.h"
#include "drawing/dwg/sections.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

using dwg::readR2007Sections;
using dwg::SectionOptions;
using dwg::Sections;

// Where example_2007.dwg keeps its section map (0x480 plus its page map offset).
constexpr std::size_t kSectionMapAt = 0x480 + 0x6C6C0;

class R2007Sections : public ::testing::Test {
protected:
    void SetUp() override {
        m_file = autocadBytes(u"example_2007.dwg"_qs);
        ASSERT_FALSE(m_file.empty());
    }

    static std::optional<Sections> read(std::string_view bytes, QString& problem,
                                        bool verify = true) {
        SectionOptions options;
        options.verifyCheckValues = verify;
        return readR2007Sections(bytes, options, problem);
    }

    std::string m_file;
};

// The object map: sections of a big-endian size (counting itself) and a 2-byte check value;
// the one of size 2 ends it.
bool walksAsObjectMap(std::string_view map) {
    std::size_t at = 0;
    while (at + 2 <= map.size()) {
        const std::size_t size = (unsigned{static_cast<unsigned char>(map[at])} << 8) |
                                 static_cast<unsigned char>(map[at + 1]);
        if (size < 2 || size > 2032) return false;
        at += size + 2;
        if (size == 2) return at <= map.size();
    }
    return false;
}

TEST_F(R2007Sections, ReadsTheFourSections) {
    for (const bool verify : {true, false}) {
        QString problem;
        const auto sections = read(m_file, problem, verify);
        ASSERT_TRUE(sections) << problem.toStdString();
        EXPECT_TRUE(problem.isEmpty());
        EXPECT_EQ(sections->codePage, 30);  // ANSI_1252
        EXPECT_EQ(sections->maintenanceRelease, 0x32u);
        EXPECT_EQ(sections->header.size(), 0x354u);
        EXPECT_EQ(sections->classes.size(), 0x11BAu);
        EXPECT_EQ(sections->handles.size(), 0x6CBu);
        EXPECT_EQ(sections->objects.size(), 0x65D55u);  // seven pages, some larger than 0xF800
        EXPECT_EQ(
            sections->classes.substr(0, 16),
            std::string("\x8D\xA1\xC4\xB8\xC4\xA9\xF8\xC5\xC0\xDC\xF4\x5F\xE7\xCF\xB6\x8A", 16));
        EXPECT_EQ(sections->objects.substr(0, 4), std::string("\xCA\x0D\0\0", 4));
        EXPECT_TRUE(walksAsObjectMap(sections->handles));
    }
}

TEST_F(R2007Sections, BrokenFilesFailWithAReason) {
    std::vector<std::pair<std::string, std::string>> broken = {
        {"empty", {}},
        {"only the version", "AC1021"},
        {"file header byte", flipped(m_file, 0x80 + 0x40)},
        {"file header check data", flipped(m_file, 0x80 + 0x200)},
        {"page map byte", flipped(m_file, 0x480 + 0x20)},
        {"section map byte", flipped(m_file, kSectionMapAt + 0x10)},
        {"another release", "AC1018" + m_file.substr(6)},
    };
    for (const std::size_t size : {0x20u, 0x100u, 0x47Fu, 0x480u, 0x1000u, 0x6C900u, 0x6D000u})
        broken.emplace_back("truncated at " + std::to_string(size), m_file.substr(0, size));
    std::mt19937 random(2007);
    std::string garbage = "AC1021";
    while (garbage.size() < 0x4000) garbage.push_back(static_cast<char>(random()));
    broken.emplace_back("garbage", garbage);
    for (const auto& [what, bytes] : broken) {
        QString problem;
        EXPECT_FALSE(read(bytes, problem)) << what;
        EXPECT_FALSE(problem.isEmpty()) << what;
    }
    const auto problemOf = [](std::string_view bytes) {
        QString problem;
        read(bytes, problem);
        return problem.toStdString();
    };
    EXPECT_EQ(problemOf(flipped(m_file, 0x80 + 0x40)), "the file header is corrupt");
    EXPECT_EQ(problemOf(flipped(m_file, kSectionMapAt + 0x10)), "the section map is corrupt");
    EXPECT_EQ(problemOf(m_file.substr(0, 0x6D000)), "the file is truncated");
    std::string encrypted = m_file;
    encrypted[0x18] = 1;  // the security flags: data encrypted with a password
    EXPECT_EQ(problemOf(encrypted), "the drawing is password-protected");
}

// With the check values off (as for fuzzing) every damaged byte reaches the decoders; none may
// crash or hang, whatever they make of it.
TEST_F(R2007Sections, DamagedBytesNeverCrashUnchecked) {
    std::mt19937 random(21);
    for (int round = 0; round < 24; ++round) {
        std::string bytes = m_file;
        for (int i = 0; i < 4; ++i) {
            // Mostly the system pages and the small sections, where a byte matters most.
            const std::size_t at =
                round % 2 ? 0x80 + random() % 0x400 : kSectionMapAt + random() % 0x1300;
            bytes[at] = static_cast<char>(random());
        }
        QString problem;
        const auto sections = read(bytes, problem, false);
        EXPECT_EQ(sections.has_value(), problem.isEmpty());
    }
}

void put64(std::string& bytes, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
}

TEST(R2007SectionMap, ParsesDescriptionsAndPages) {
    std::string map;
    for (const std::uint64_t value :
         {0x354ull, 0x800ull, 1ull, 0x32B803D9ull, 24ull, 0ull, 4ull, 1ull})
        put64(map, value);  // size, max size, encrypted, hash, name bytes, -, encoding, pages
    for (const char c : std::string("AcDb:Header") + '\0') map += std::string{c, '\0'};
    for (const std::uint64_t value :
         {0ull, 0x780ull, 20ull, 0x354ull, 0x2DCull, 0xA80ACFBAull, 0x7637E34E81D34677ull})
        put64(map, value);
    for (int i = 0; i < 8; ++i) put64(map, i == 1 ? 0xF800 : i == 6 ? 4 : 0);  // the closing one
    const auto sections = dwg::r2007::parseSectionMap(map);
    ASSERT_TRUE(sections);
    ASSERT_EQ(sections->size(), 1u);
    const auto& header = sections->at("AcDb:Header");
    EXPECT_EQ(header.size, 0x354u);
    EXPECT_EQ(header.encrypted, 1u);  // what makes the reader call the drawing password-protected
    EXPECT_EQ(header.encoding, 4u);
    ASSERT_EQ(header.pages.size(), 1u);
    EXPECT_EQ(header.pages[0].id, 20u);
    EXPECT_EQ(header.pages[0].size, 0x354u);
    EXPECT_EQ(header.pages[0].compressedSize, 0x2DCu);
    EXPECT_EQ(header.pages[0].crc, 0x7637E34E81D34677u);
    for (const std::size_t cut : {70u, 100u, 140u})
        EXPECT_FALSE(dwg::r2007::parseSectionMap(std::string_view(map).substr(0, cut))) << cut;
}

TEST(R2007Decompression, StaysWithinItsBounds) {
    // A literal run longer than the input, a back-reference before the start, too much output.
    EXPECT_FALSE(dwg::decompressR2007(std::string("\x0F\xFF\x10", 3), 1000));
    EXPECT_FALSE(dwg::decompressR2007(std::string("\x00"
                                                  "abcdefgh"
                                                  "\x20\x00\x40",
                                                  12),
                                      1000));
    EXPECT_FALSE(dwg::decompressR2007(std::string("\x00"
                                                  "abcdefgh",
                                                  9),
                                      4));
    const auto plain = dwg::decompressR2007(std::string("\x00"
                                                        "abcdefgh",
                                                        9),
                                            8);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->size(), 8u);
}

}  // namespace
}  // namespace drawing::test
