// SPDX-License-Identifier: GPL-3.0-or-later
// DWG files of R2.10 to R12: texts in the code page the header names, and broken files refused
// with a reason. The files are made from the samples by changing bytes; R11/R12 records carry a
// check value, made to match again where a test needs the change to be read.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "drawing/dwg/crc16.h"
#include "drawing/dxf_reader.h"
#include "drawing/reader_errors.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

constexpr std::size_t kCodePageAt = 0x3F9;
constexpr unsigned char kAttrib = 16;
constexpr unsigned char kInsert = 14;

// Where the first entity of `type` starts in the entity section.
std::optional<std::size_t> firstEntity(const std::string& bytes, unsigned char type) {
    std::size_t at = littleEndian(bytes, 0x14, 4);
    const std::size_t end = littleEndian(bytes, 0x18, 4);
    while (at + 4 <= end) {
        if (static_cast<unsigned char>(bytes[at]) == type) return at;
        at += littleEndian(bytes, at + 2, 2);
    }
    return std::nullopt;
}

void recheck(std::string& bytes, std::size_t entity) {
    const std::size_t size = littleEndian(bytes, entity + 2, 2);
    putLittleEndian16(bytes, entity + size - 2,
                      dwg::crc16(std::string_view(bytes).substr(entity, size - 2), 0xC0C1));
}

TEST(DwgR12, AttributeTextsAreReadInTheHeadersCodePage) {
    const std::string sample = autocadBytes(u"entities-2d_r11.dwg"_qs);
    ASSERT_FALSE(sample.empty());
    const auto attrib = firstEntity(sample, kAttrib);
    ASSERT_TRUE(attrib);
    // The attribute's value "4" after the common fields, elevation, point and height.
    const std::size_t valueAt = *attrib + 8 + 8 + 16 + 8 + 2;
    ASSERT_EQ(sample[valueAt], '4');
    const struct {
        int codePage;
        QString text;
    } table[] = {{28, u"\u010C"_qs},  // ANSI_1250: C with caron
                 {29, u"\u0418"_qs},  // ANSI_1251: Cyrillic I
                 {30, u"\u00C8"_qs},  // ANSI_1252: E with grave
                 {32, u"\u0398"_qs},  // ANSI_1253: Greek Theta
                 {0, u"\u00C8"_qs}};  // none named: Windows-1252
    for (const auto& row : table) {
        SCOPED_TRACE(row.codePage);
        std::string bytes = sample;
        putLittleEndian16(bytes, kCodePageAt, static_cast<std::uint16_t>(row.codePage));
        bytes[valueAt] = static_cast<char>(0xC8);
        recheck(bytes, *attrib);
        const auto result = readDrawingBytes(bytes);
        ASSERT_TRUE(result.ok()) << result.error().description.toStdString();
        const Drawing& drawing = *result.value();
        ASSERT_EQ(drawing.attributes.size(), 1u);
        EXPECT_EQ(drawing.attributes[0].tag, u"ATTR2"_qs);
        EXPECT_EQ(drawing.attributes[0].text, row.text);
    }
}

struct Broken {
    std::string what;
    std::string bytes;
    const char* reason;  // a part of the description
};

class DwgR12BrokenFiles : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        m_bytes = autocadBytes(QString::fromLatin1(GetParam()));
        ASSERT_FALSE(m_bytes.empty());
        ASSERT_TRUE(readDrawingBytes(m_bytes).ok());
    }
    // Where the last part the reader needs ends: the entity section or a table it reads.
    std::size_t endOfWhatIsRead() const {
        std::size_t end = littleEndian(m_bytes, 0x18, 4);
        for (const std::size_t table : {0u, 1u, 3u}) {
            const std::size_t at = 0x2C + table * 10;
            end = std::max<std::size_t>(
                end, littleEndian(m_bytes, at + 6, 4) +
                         littleEndian(m_bytes, at, 2) * littleEndian(m_bytes, at + 2, 2));
        }
        return end;
    }
    std::string m_bytes;
};

TEST_P(DwgR12BrokenFiles, CutFilesAreRefusedWithAReason) {
    std::vector<Broken> table = {
        {"release only", m_bytes.substr(0, 6), "file header is truncated"},
        {"cut in the table locators", m_bytes.substr(0, 0x40), "file header is truncated"},
        {"entity section beyond the end", flipped(m_bytes, 0x1A), "entity section is corrupt"},
        {"block table beyond the end", flipped(m_bytes, 0x2C + 3), "block table is corrupt"},
        {"layer table beyond the end", flipped(m_bytes, 0x36 + 9), "layer table is corrupt"},
    };
    const std::size_t end = endOfWhatIsRead();
    for (int k = 1; k < 8; ++k) {
        const std::size_t cut = std::max<std::size_t>(end * static_cast<std::size_t>(k) / 8, 0x60);
        table.push_back({"cut at " + std::to_string(cut), m_bytes.substr(0, cut), ""});
    }
    table.push_back({"cut just before the end", m_bytes.substr(0, end - 1), ""});
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

// Any byte changed: the file is read or refused, and the reader stays inside it.
TEST_P(DwgR12BrokenFiles, AnyFlippedByteIsReadOrRefused) {
    for (std::size_t at = 0; at < m_bytes.size(); ++at) {
        const auto result = readDrawingBytes(flipped(m_bytes, at));
        if (!result.ok()) {
            EXPECT_FALSE(result.error().description.isEmpty()) << "byte " << at;
            EXPECT_NE(result.error().number, 0) << "byte " << at;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Old, DwgR12BrokenFiles,
                         ::testing::Values("entities-2d_r11.dwg", "tmp_line_r10.dwg",
                                           "block_r2.10.dwg"),
                         [](const auto& instance) { return parameterName(instance.param); });

// R11/R12 records carry a check value: a changed reference or layer name is caught.
TEST(DwgR12, ChangedRecordsFailTheirCheck) {
    const std::string sample = autocadBytes(u"entities-2d_r11.dwg"_qs);
    const auto insert = firstEntity(sample, kInsert);
    ASSERT_TRUE(insert);
    const std::size_t layers = littleEndian(sample, 0x36 + 6, 4);
    const Broken table[] = {
        {"insertion point changed", flipped(sample, *insert + 20), "block reference at byte"},
        {"attribute tag changed", flipped(sample, *firstEntity(sample, kAttrib) + 50),
         "attribute at byte"},
        {"layer name changed", flipped(sample, layers + 1), "layer table is corrupt"},
    };
    for (const Broken& broken : table) {
        SCOPED_TRACE(broken.what);
        const auto result = readDrawingBytes(broken.bytes);
        ASSERT_FALSE(result.ok());
        EXPECT_TRUE(result.error().description.contains(QString::fromLatin1(broken.reason)))
            << result.error().description.toStdString();
    }
}

}  // namespace
}  // namespace drawing::test
