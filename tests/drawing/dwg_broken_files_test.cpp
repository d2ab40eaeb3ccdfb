// SPDX-License-Identifier: GPL-3.0-or-later
// DWG files that are broken: each is an open failure with a reason, never a crash, a hang
// or a read outside the file (the ASan build runs these too). The paged releases' own maps
// are broken byte by byte in dwg_paged_sections_test.cpp and dwg_r2007_sections_test.cpp.

#include <gtest/gtest.h>

#include "drawing/dxf_reader.h"
#include "drawing/reader_errors.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

// Where the object map lies: the third section locator record of the file header.
std::pair<std::size_t, std::size_t> objectMap(const std::string& bytes) {
    for (std::size_t record = 0; record < 6; ++record) {
        const std::size_t at = 0x19 + record * 9;
        if (bytes[at] == 2) return {littleEndian(bytes, at + 1, 4), littleEndian(bytes, at + 5, 4)};
    }
    return {0, 0};
}

struct Broken {
    std::string what;
    std::string bytes;
    long number;
    const char* reason;  // a part of the description
};

class DwgBrokenFiles : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        m_bytes = autocadBytes(QString::fromLatin1(GetParam()));
        ASSERT_FALSE(m_bytes.empty());
        ASSERT_TRUE(readDrawingBytes(m_bytes).ok());
    }
    std::string m_bytes;
};

TEST_P(DwgBrokenFiles, AreOpenFailuresWithAReason) {
    const auto [mapOffset, mapSize] = objectMap(m_bytes);
    ASSERT_GT(mapSize, 4u);
    ASSERT_LE(mapOffset + mapSize, m_bytes.size());
    std::vector<Broken> table = {
        {"zero length", "", errors::kNotADrawing, "the file is empty"},
        {"release only", m_bytes.substr(0, 6), errors::kMalformed, "file header is truncated"},
        {"cut in the section locators", m_bytes.substr(0, 0x30), errors::kMalformed,
         "file header is truncated"},
        {"section locator byte flipped", flipped(m_bytes, 0x1B), errors::kMalformed,
         "file header is corrupt"},
        {"object map locator byte flipped", flipped(m_bytes, 0x19 + 2 * 9 + 2), errors::kMalformed,
         "file header is corrupt"},
        {"code page byte flipped", flipped(m_bytes, 0x13), errors::kMalformed,
         "file header is corrupt"},
        {"object map byte flipped", flipped(m_bytes, mapOffset + 7), errors::kMalformed,
         "object map is corrupt"},
        {"object map size flipped", flipped(m_bytes, mapOffset), errors::kMalformed,
         "object map is corrupt"},
        {"cut in the object map", m_bytes.substr(0, mapOffset + mapSize / 2), errors::kMalformed,
         "object map is corrupt"},
    };
    // Objects come before the object map: a cut anywhere before its end loses something.
    for (int k = 1; k < 8; ++k) {
        const std::size_t cut = (mapOffset + mapSize) * static_cast<std::size_t>(k) / 8;
        table.push_back(
            {"cut at " + std::to_string(cut), m_bytes.substr(0, cut), errors::kMalformed, ""});
    }
    for (const Broken& broken : table) {
        SCOPED_TRACE(broken.what);
        const auto result = readDrawingBytes(broken.bytes);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().number, broken.number);
        EXPECT_FALSE(result.error().description.isEmpty());
        EXPECT_TRUE(result.error().description.contains(QString::fromLatin1(broken.reason)))
            << result.error().description.toStdString();
    }
}

// Any byte changed: the file is read or refused, and the reader stays inside it.
TEST_P(DwgBrokenFiles, AnyFlippedByteIsReadOrRefused) {
    const std::size_t step = m_bytes.size() / 2000 + 1;
    for (std::size_t at = 0; at < m_bytes.size(); at += step) {
        const auto result = readDrawingBytes(flipped(m_bytes, at));
        if (!result.ok()) {
            EXPECT_FALSE(result.error().description.isEmpty()) << "byte " << at;
            EXPECT_NE(result.error().number, 0) << "byte " << at;
        }
    }
}

// R13 and R14 lie out their sections as R2000 does.
INSTANTIATE_TEST_SUITE_P(Flat, DwgBrokenFiles,
                         ::testing::Values("example_r13.dwg", "example_r14.dwg", "example_2000.dwg",
                                           "entities-2d_2000.dwg"),
                         [](const auto& instance) { return parameterName(instance.param); });

// From R2004 the file is a set of compressed pages: a file cut anywhere loses a page, and a
// changed byte is caught by a check value or read harmlessly.
class PagedDwgBrokenFiles : public DwgBrokenFiles {};

TEST_P(PagedDwgBrokenFiles, CutOrChangedFilesAreRefusedOrRead) {
    for (int k = 0; k < 8; ++k) {
        const std::size_t cut = m_bytes.size() * static_cast<std::size_t>(k) / 8;
        SCOPED_TRACE("cut at " + std::to_string(cut));
        const auto result = readDrawingBytes(m_bytes.substr(0, cut));
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().number, k == 0 ? errors::kNotADrawing : errors::kMalformed);
        EXPECT_FALSE(result.error().description.isEmpty());
    }
    std::string locked = m_bytes;
    locked[0x18] = static_cast<char>(locked[0x18] | 1);  // security flags: encrypted data
    const auto refused = readDrawingBytes(locked);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().description, u"the drawing is password-protected"_qs);
    const std::size_t step = m_bytes.size() / 150 + 1;
    for (std::size_t at = 0; at < m_bytes.size(); at += step) {
        const auto result = readDrawingBytes(flipped(m_bytes, at));
        if (!result.ok()) {
            EXPECT_FALSE(result.error().description.isEmpty()) << "byte " << at;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Paged, PagedDwgBrokenFiles,
                         ::testing::Values("example_2004.dwg", "example_2007.dwg",
                                           "example_2010.dwg", "example_2013.dwg",
                                           "example_2018.dwg"),
                         [](const auto& instance) { return parameterName(instance.param); });

}  // namespace
}  // namespace drawing::test
