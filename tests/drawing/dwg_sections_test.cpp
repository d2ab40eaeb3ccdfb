// SPDX-License-Identifier: GPL-3.0-or-later
// The page and section layer of the paged releases (AC1018-AC1032, R2004 compression, and
// AC1021, R2007): the sections the object reader needs come out of real AutoCAD drawings, their
// classes and layouts are those of the DXF twins, and damaged copies fail with a reason, never
// a crash, a hang or a read outside the buffer (the ASan build runs these too).

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "drawing/dwg/classes.h"
#include "drawing/dwg/lz77_r2004.h"
#include "drawing/dwg/lz77_r2007.h"
#include "drawing/dwg/object_map.h"
#include "drawing/dwg/r2007_section_map.h"
#include "drawing/dwg/sections.h"
#include "drawing/dwg/table_objects.h"
#include "dwg_bytes.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

using namespace std::string_literals;
using dwg::Release;
using dwg::Sections;

constexpr const char* kExampleLayouts = "Layout1:1,Layout2:2,Model:0";
// Where example_2007.dwg keeps its section map (0x480 plus its page map offset).
constexpr std::size_t kR2007SectionMapAt = 0x480 + 0x6C6C0;

struct Sample {
    const char* file;
    Release release;
    int codePage;
    const char* lastClass;  // the last class of the DXF twin's CLASSES section
    int lastNumber;
    const char* layouts;  // the twin's LAYOUT objects: name and tab order, by name
};

class PagedSections : public ::testing::TestWithParam<Sample> {
protected:
    void SetUp() override {
        m_file = autocadBytes(QString::fromLatin1(GetParam().file));
        ASSERT_FALSE(m_file.empty());
        QString problem;
        const auto sections = read(m_file, problem);
        ASSERT_TRUE(sections.has_value()) << problem.toStdString();
        m_sections = *sections;
    }
    std::optional<Sections> read(std::string_view bytes, QString& problem,
                                 bool verify = true) const {
        const dwg::SectionOptions options{verify};
        return GetParam().release == Release::R2007
                   ? dwg::readR2007Sections(bytes, options, problem)
                   : dwg::readPagedSections(bytes, options, problem);
    }
    int find(std::string_view section, std::string_view name) const {
        return dwg::findClassNumber(section, GetParam().release, m_sections.maintenanceRelease,
                                    name);
    }
    // The system pages: the section page map and the section map.
    std::size_t pageMap() const {
        return GetParam().release == Release::R2007 ? 0x480 : m_file.find("\x3B\x0E\x63\x41"s);
    }
    std::size_t sectionMap() const {
        return GetParam().release == Release::R2007 ? kR2007SectionMapAt
                                                    : m_file.find("\x3B\x00\x63\x41"s);
    }
    std::string m_file;
    Sections m_sections;
};

TEST_P(PagedSections, ReadTheSections) {
    for (const bool verify : {true, false}) {
        QString problem;
        const auto sections = read(m_file, problem, verify);
        ASSERT_TRUE(sections) << problem.toStdString();
        EXPECT_TRUE(problem.isEmpty());
        EXPECT_EQ(sections->codePage, GetParam().codePage);
        EXPECT_EQ(sections->maintenanceRelease, static_cast<unsigned char>(m_file[0x0B]));
        EXPECT_EQ(sections->header.substr(0, 16),
                  "\xCF\x7B\x1F\x23\xFD\xDE\x38\xA9\x5F\x7C\x68\xB8\x4E\x6D\x33\x5F"s);
        EXPECT_EQ(sections->classes.substr(0, 16),
                  "\x8D\xA1\xC4\xB8\xC4\xA9\xF8\xC5\xC0\xDC\xF4\x5F\xE7\xCF\xB6\x8A"s);
        EXPECT_EQ(sections->objects.substr(0, 4), "\xCA\x0D\0\0"s);
        if (GetParam().release == Release::R2007) {
            EXPECT_EQ(sections->header.size(), 0x354u);
            EXPECT_EQ(sections->classes.size(), 0x11BAu);
            EXPECT_EQ(sections->handles.size(), 0x6CBu);
            EXPECT_EQ(sections->objects.size(), 0x65D55u);  // seven pages, some over 0xF800
        }
    }
}

TEST_P(PagedSections, EveryClassRecordIsWalkedAndNoneOutsideTheSection) {
    const std::string& classes = m_sections.classes;
    EXPECT_EQ(find(classes, "LAYOUT"), 502);
    EXPECT_EQ(find(classes, "DICTIONARYVAR"), 503);
    EXPECT_EQ(find(classes, GetParam().lastClass), GetParam().lastNumber);
    EXPECT_EQ(find(classes, "NO_SUCH_CLASS"), -1);
    // A cut or damaged section is only a class not found.
    for (std::size_t cut = 0; cut < classes.size(); cut += 97) {
        const int found = find(std::string_view(classes).substr(0, cut), "LAYOUT");
        EXPECT_TRUE(found == -1 || found == 502) << "cut at " << cut;
    }
    for (std::size_t at = 16; at < classes.size(); at += 61) {
        std::string damaged = classes;
        damaged[at] = static_cast<char>(damaged[at] ^ 0xA5);
        find(damaged, GetParam().lastClass);  // any answer, never outside the section
    }
}

TEST_P(PagedSections, LayoutsHaveTheNamesAndTabOrdersOfTheTwin) {
    QString problem;
    const auto map =
        dwg::ObjectMap::read(m_sections.handles, m_sections.objects.size(), true, problem);
    ASSERT_TRUE(map.has_value()) << problem.toStdString();
    const int layoutType = find(m_sections.classes, "LAYOUT");
    std::map<std::string, long long> layouts;
    for (const auto& entry : map->entries()) {
        // AutoCAD writes LAYOUT under its fixed type, though the classes number it too.
        const int type = dwg::peekType(m_sections.objects, entry.offset, GetParam().release);
        if (type != layoutType && type != dwg::type::kLayout) continue;
        const auto raw =
            dwg::readRawObject(m_sections.objects, entry.offset, GetParam().release, true, problem);
        ASSERT_TRUE(raw.has_value()) << problem.toStdString();
        dwg::LayoutObject layout;
        ASSERT_TRUE(dwg::readLayout(*raw, layout));
        layouts[layout.name] = layout.tabOrder;
    }
    std::string listed;
    for (const auto& [name, tab] : layouts)
        listed += (listed.empty() ? "" : ",") + name + ":" + std::to_string(tab);
    EXPECT_EQ(listed, GetParam().layouts);
}

TEST_P(PagedSections, DamagedFilesFailWithAReason) {
    ASSERT_NE(pageMap(), std::string::npos);
    ASSERT_NE(sectionMap(), std::string::npos);
    std::mt19937 random(2004);
    std::string garbage = m_file.substr(0, 6);
    while (garbage.size() < 0x4000) garbage.push_back(static_cast<char>(random()));
    std::string encrypted = m_file;
    encrypted[0x18] = 1;  // the security flags: data encrypted with a password
    struct Damage {
        const char* what;
        std::string bytes;
        std::string problem;  // a part of it
    };
    std::vector<Damage> table = {
        {"zero length", {}, "the file is truncated"},
        {"only the release", m_file.substr(0, 6), "the file is truncated"},
        {"cut in the plain header", m_file.substr(0, 0x40), "the file is truncated"},
        {"cut after the file header", m_file.substr(0, 0x100), "the file is truncated"},
        {"cut before the first page", m_file.substr(0, 0x47F), "the file is truncated"},
        {"cut in half", m_file.substr(0, m_file.size() / 2), "the file is truncated"},
        {"cut in the page map", m_file.substr(0, pageMap() + 30), "the file is truncated"},
        {"cut in the section map", m_file.substr(0, sectionMap() + 30), "the file is truncated"},
        {"file header byte", flipped(m_file, 0x80 + 0x40), "the file header is corrupt"},
        {"file header check data", flipped(m_file, 0x80 + 0x54), "the file header is corrupt"},
        {"page map byte", flipped(m_file, pageMap() + 40), "page map is corrupt"},
        {"section map byte", flipped(m_file, sectionMap() + 60), "the section map is corrupt"},
        {"garbage", garbage, "the file header is corrupt"},
        {"password-protected", encrypted, "the drawing is password-protected"},
    };
    if (GetParam().release == Release::R2007) {
        table.push_back(
            {"another release", "AC1018" + m_file.substr(6), "the file is not an AC1021 drawing"});
    } else if (GetParam().file == "example_2004.dwg"s) {  // R2007 corrects a data page byte
        table.push_back({"objects page byte", flipped(m_file, 0x8740 + 100),
                         "the section AcDb:AcDbObjects is corrupt"});
    }
    for (const Damage& damage : table) {
        SCOPED_TRACE(damage.what);
        QString problem;
        EXPECT_FALSE(read(damage.bytes, problem));
        EXPECT_NE(problem.toStdString().find(damage.problem), std::string::npos)
            << problem.toStdString();
    }
}

// With the check values off (as for fuzzing) every damaged byte reaches the maps and the
// decompressors; none may crash or hang, whatever they make of it.
TEST_P(PagedSections, DamagedBytesNeverCrashUnchecked) {
    std::mt19937 random(18);
    const std::size_t size = m_file.size();
    for (int round = 0; round < 32; ++round) {
        std::string bytes = m_file;
        for (int change = 0; change < 6; ++change) {
            // Two of three go to the system pages, where a byte does the most harm.
            const std::size_t from[] = {0, 0x80, sectionMap()};
            const std::size_t span[] = {size, 0x400, 0x1300};
            const std::size_t at = from[change % 3] + random() % span[change % 3];
            bytes[std::min(at, size - 1)] = static_cast<char>(random());
        }
        QString problem;
        const auto sections = read(bytes, problem, false);
        EXPECT_EQ(sections.has_value(), problem.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    AutoCad, PagedSections,
    ::testing::Values(Sample{"example_2004.dwg", Release::R2004, 30, "SUN", 534, kExampleLayouts},
                      Sample{"example_2007.dwg", Release::R2007, 30, "SUN", 534, kExampleLayouts},
                      Sample{"example_2010.dwg", Release::R2010, 30, "SUN", 534, kExampleLayouts},
                      Sample{"gh209_1_2010.dwg", Release::R2010, 34, "IRD_OBJ_RECORD", 542,
                             "Layout1:1,Model:0"},
                      Sample{"example_2013.dwg", Release::R2013, 30, "SUN", 534, kExampleLayouts},
                      Sample{"example_2018.dwg", Release::R2018, 30, "SUN", 534, kExampleLayouts}),
    [](const auto& instance) { return parameterName(instance.param.file); });

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

TEST(DwgDecompression, R2004LiteralsAndOverlappingCopies) {
    const std::pair<std::string, std::string> streams[] = {
        {"\x01"s + "abcd\x11", "abcd"},  // four literals, then the end
        // A copy of 4 bytes from 4 back (opcode 0x5C, offset byte 0x00).
        {"\x01"s + "abcd\x5C\x00\x11"s, "abcdabcd"},
        {"\x01"s + "abcd\x70\x00\x11"s, "abcddddddd"},  // 6 bytes from 1 back: the last again
        // 34 bytes (long form 0x20, length byte 0x01) from 4 back, then two literals.
        {"\x01"s + "abcd\x20\x01\x0E\x00"s + "xy\x11",
         "abcd" + "abcdabcdabcdabcdabcdabcdabcdabcdab"s + "xy"},
    };
    for (const auto& [stream, expected] : streams) {
        std::string out;
        EXPECT_TRUE(dwg::decompressR2004(stream, out, 100)) << expected;
        EXPECT_EQ(out, expected);
    }
}

TEST(DwgDecompression, MalformedStreamsAreRefused) {
    const std::pair<const char*, std::string> r2004[] = {
        {"empty", ""},
        {"no end", "\x01"s + "abcd"},
        {"literals beyond the input", "\x0F"s + "ab"},
        {"copy before the start", "\x01"s + "abcd\x5C\x01\x11"},
        {"opcode without its offset", "\x01"s + "abcd\x5C"},
        {"endless length", "\0\0\0\0"s},
        {"output beyond the limit", "\x01"s + "abcd\x20\xFF\x0E\x00\x11"s},
    };
    for (const auto& [name, stream] : r2004) {
        std::string out;
        EXPECT_FALSE(dwg::decompressR2004(stream, out, 100)) << name;
    }
    // R2007: a literal run longer than the input, a copy from before the start, too much output.
    EXPECT_FALSE(dwg::decompressR2007("\x0F\xFF\x10"s, 1000));
    EXPECT_FALSE(dwg::decompressR2007("\0abcdefgh\x20\0\x40"s, 1000));
    EXPECT_FALSE(dwg::decompressR2007("\0abcdefgh"s, 4));
    const auto plain = dwg::decompressR2007("\0abcdefgh"s, 8);
    ASSERT_TRUE(plain);
    EXPECT_EQ(*plain, "abcdefgh");
}

}  // namespace
}  // namespace drawing::test
