// SPDX-License-Identifier: GPL-3.0-or-later
// DWG files that are broken: each is an open failure with a reason, never a crash, a hang
// or a read outside the file (the ASan build runs these too). The paged releases' own maps
// are broken byte by byte in dwg_sections_test.cpp.

#include <gtest/gtest.h>

#include "drawing/dxf_reader.h"
#include "drawing/reader_errors.h"
#include "dwg_bytes.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

enum class Layout { Paged, Flat, R12 };

struct Sample {
    const char* file;
    Layout layout;
};

struct Broken {
    std::string what;
    std::string bytes;
    const char* reason = "";  // a part of the description
};

class DwgBrokenFiles : public ::testing::TestWithParam<Sample> {
protected:
    void SetUp() override {
        m_bytes = autocadBytes(QString::fromLatin1(GetParam().file));
        ASSERT_FALSE(m_bytes.empty());
        ASSERT_TRUE(readDrawingBytes(m_bytes).ok());
    }
    // Where the last part the reader needs ends: a paged file's maps are at its end; the
    // object map follows the objects; an R12 file's entity section or a table it reads.
    std::size_t endOfWhatIsRead() const {
        if (GetParam().layout == Layout::Paged) return m_bytes.size();
        if (GetParam().layout == Layout::Flat) {
            const std::size_t locator = objectMapLocator(m_bytes);
            return littleEndian(m_bytes, locator + 1, 4) + littleEndian(m_bytes, locator + 5, 4);
        }
        std::size_t end = littleEndian(m_bytes, 0x18, 4);
        for (const std::size_t table : {0u, 1u, 3u}) {
            const std::size_t at = 0x2C + table * 10;
            end = std::max<std::size_t>(
                end, littleEndian(m_bytes, at + 6, 4) +
                         littleEndian(m_bytes, at, 2) * littleEndian(m_bytes, at + 2, 2));
        }
        return end;
    }
    // Damage where the reader names what it found broken.
    std::vector<Broken> namedDamage() const {
        const std::string& b = m_bytes;
        if (GetParam().layout == Layout::R12) {
            std::vector<Broken> rows = {
                {"release only", b.substr(0, 6), "file header is truncated"},
                {"cut in the table locators", b.substr(0, 0x40), "file header is truncated"},
                {"entity section beyond the end", flipped(b, 0x1A), "entity section is corrupt"},
                {"block table beyond the end", flipped(b, 0x2C + 3), "block table is corrupt"},
                {"layer table beyond the end", flipped(b, 0x36 + 9), "layer table is corrupt"}};
            // R11/R12 records carry a check value: a changed reference or name is caught.
            if (b.starts_with("AC1009")) {
                rows.push_back({"insertion point changed",
                                flipped(b, r12Entity(b, kR12Insert) + 20),
                                "block reference at byte"});
                rows.push_back({"attribute tag changed", flipped(b, r12Entity(b, kR12Attrib) + 50),
                                "attribute at byte"});
                rows.push_back({"layer name changed", flipped(b, littleEndian(b, 0x36 + 6, 4) + 1),
                                "layer table is corrupt"});
            }
            return rows;
        }
        if (GetParam().layout == Layout::Paged) return {};
        const std::size_t map = littleEndian(b, objectMapLocator(b) + 1, 4);
        const std::size_t mapEnd = endOfWhatIsRead();
        return {
            {"release only", b.substr(0, 6), "file header is truncated"},
            {"cut in the section locators", b.substr(0, 0x30), "file header is truncated"},
            {"section locator byte flipped", flipped(b, 0x1B), "file header is corrupt"},
            {"object map locator byte flipped", flipped(b, objectMapLocator(b) + 2),
             "file header is corrupt"},
            {"code page byte flipped", flipped(b, 0x13), "file header is corrupt"},
            {"object map byte flipped", flipped(b, map + 7), "object map is corrupt"},
            {"object map size flipped", flipped(b, map), "object map is corrupt"},
            {"cut in the object map", b.substr(0, (map + mapEnd) / 2), "object map is corrupt"}};
    }
    std::string m_bytes;
};

TEST_P(DwgBrokenFiles, CutOrDamagedFilesAreRefusedWithAReason) {
    std::vector<Broken> table = namedDamage();
    // A cut anywhere before the end of what is read loses something.
    const std::size_t end = endOfWhatIsRead();
    for (int k = 1; k < 8; ++k) {
        const std::size_t cut = std::max<std::size_t>(end * static_cast<std::size_t>(k) / 8, 0x60);
        table.push_back({"cut at " + std::to_string(cut), m_bytes.substr(0, cut)});
    }
    if (GetParam().layout == Layout::R12)
        table.push_back({"cut just before the end", m_bytes.substr(0, end - 1)});
    for (const Broken& broken : table) {
        SCOPED_TRACE(broken.what);
        const auto result = readDrawingBytes(broken.bytes);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().number, errors::kMalformed);
        EXPECT_FALSE(result.error().description.isEmpty());
        EXPECT_TRUE(result.error().description.contains(QString::fromLatin1(broken.reason)))
            << result.error().description.toStdString();
    }
}

// Any byte changed: the file is read or refused, and the reader stays inside it. A paged
// file's changed byte is caught by a check value or read harmlessly.
TEST_P(DwgBrokenFiles, AnyFlippedByteIsReadOrRefused) {
    const std::size_t step = GetParam().layout == Layout::R12    ? 1
                             : GetParam().layout == Layout::Flat ? m_bytes.size() / 2000 + 1
                                                                 : m_bytes.size() / 150 + 1;
    for (std::size_t at = 0; at < m_bytes.size(); at += step) {
        const auto result = readDrawingBytes(flipped(m_bytes, at));
        if (!result.ok()) {
            EXPECT_FALSE(result.error().description.isEmpty()) << "byte " << at;
            EXPECT_NE(result.error().number, 0) << "byte " << at;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    AutoCad, DwgBrokenFiles,
    ::testing::Values(
        Sample{"example_r13.dwg", Layout::Flat}, Sample{"example_r14.dwg", Layout::Flat},
        Sample{"example_2000.dwg", Layout::Flat}, Sample{"entities-2d_2000.dwg", Layout::Flat},
        Sample{"example_2004.dwg", Layout::Paged}, Sample{"example_2007.dwg", Layout::Paged},
        Sample{"example_2010.dwg", Layout::Paged}, Sample{"example_2013.dwg", Layout::Paged},
        Sample{"example_2018.dwg", Layout::Paged}, Sample{"entities-2d_r11.dwg", Layout::R12},
        Sample{"tmp_line_r10.dwg", Layout::R12}, Sample{"block_r2.10.dwg", Layout::R12}),
    [](const auto& instance) { return parameterName(instance.param.file); });

}  // namespace
}  // namespace drawing::test
