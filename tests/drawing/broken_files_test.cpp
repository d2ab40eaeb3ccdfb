// SPDX-License-Identifier: GPL-3.0-or-later
// Files the reader cannot use: each is an open failure with an error number and a reason,
// never a crash, a hang or a read out of bounds (the ASan build runs these too).

#include <gtest/gtest.h>

#include <tuple>

#include "drawing/binary_tokenizer.h"
#include "drawing/dxf_reader.h"
#include "drawing/reader_errors.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

std::string groups(std::initializer_list<std::pair<int, std::string>> pairs) {
    std::string out;
    for (const auto& [code, value] : pairs) out += std::to_string(code) + "\n" + value + "\n";
    return out;
}

std::string entities(const std::string& body) {
    return groups({{0, "SECTION"}, {2, "ENTITIES"}}) + body + groups({{0, "ENDSEC"}, {0, "EOF"}});
}

struct Broken {
    const char* what;
    std::string bytes;
    long number;
    const char* reason;  // a part of the description
    bool whole = false;  // the whole description
};

std::vector<Broken> brokenFiles() {
    const std::string ascii = readBytes(fixturePath(u"layouts_R2018.dxf"_qs));
    const std::string binary = readBytes(fixturePath(u"layouts_R2018_binary.dxf"_qs));
    const std::string binaryR12 = readBytes(fixturePath(u"layouts_R12_binary.dxf"_qs));
    const std::string insert = groups({{0, "INSERT"}, {2, "B"}, {62, "1"}});
    std::vector<Broken> table = {
        {"empty", "", errors::kNotADrawing, "empty"},
        {"random bytes", std::string("\x13\x37\xfe\x00\x99garbage\x01\x02", 14),
         errors::kNotADrawing, "neither DXF nor DWG"},
        {"text", "hello\nworld\n", errors::kNotADrawing, "neither DXF nor DWG"},
        {"truncated DWG", std::string("AC1032\0\0\0\0\0\0\x03\xc0", 14), errors::kMalformed,
         "the file is truncated"},
        {"old DWG", "AC1002\x01\x02", errors::kUnsupported,
         "DWG release AC1002 (AutoCAD 2.5) is not supported", true},
        {"older DWG", "AC1001" + std::string(4096, '\0'), errors::kUnsupported,
         "DWG release AC1001 (AutoCAD 2.2) is not supported", true},
        {"oldest DWG", "AC1.50" + std::string(4096, '\0'), errors::kUnsupported,
         "DWG release AC1.50 (AutoCAD 2.0) is not supported", true},
        {"future DWG", "AC1040" + std::string(4096, '\0'), errors::kUnsupported,
         "DWG release AC1040 is not supported", true},
        {"truncated R12 DWG", "AC1009\x01\x02", errors::kMalformed, "file header is truncated"},
        {"no SECTION", groups({{0, "LINE"}, {8, "0"}, {0, "EOF"}}), errors::kMalformed,
         "no SECTION at line 1"},
        {"missing EOF", groups({{0, "SECTION"}, {2, "ENTITIES"}, {0, "ENDSEC"}}),
         errors::kMalformed, "unexpected end of file at line 7"},
        {"missing ENDSEC", groups({{0, "SECTION"}, {2, "ENTITIES"}, {0, "EOF"}}),
         errors::kMalformed, "has no ENDSEC"},
        {"missing ENDSEC before next section",
         groups({{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1015"}, {0, "SECTION"}}),
         errors::kMalformed, "HEADER has no ENDSEC"},
        {"section without name", groups({{0, "SECTION"}, {0, "ENDSEC"}}), errors::kMalformed,
         "section without a name"},
        {"non-numeric color", entities(groups({{0, "INSERT"}, {2, "B"}, {62, "red"}})),
         errors::kMalformed, "invalid value \"red\" for group 62 at line 9"},
        {"non-numeric coordinate", entities(groups({{0, "INSERT"}, {10, "1.5.2"}})),
         errors::kMalformed, "for group 10"},
        {"non-numeric group code", "  0\nSECTION\n  2\nENTITIES\nxyz\nINSERT\n", errors::kMalformed,
         "invalid group code \"xyz\" at line 5"},
        {"group code too long", "  0\nSECTION\n1234567890\nx\n", errors::kMalformed,
         "invalid group code"},
        {"huge group value", entities(insert + "1\n" + std::string(5 << 20, 'A') + "\n"),
         errors::kMalformed, "longer than"},
        {"value missing at the end", "  0\nSECTION\n  2", errors::kMalformed,
         "unexpected end of file at line"},
        {"binary: sentinel only", std::string(kBinarySentinel), errors::kMalformed,
         "holds no DXF data"},
        {"binary: part of the sentinel", std::string(kBinarySentinel.substr(0, 10)),
         errors::kMalformed, "unexpected end of file at byte offset 10"},
        {"binary: huge string",
         std::string(kBinarySentinel) + std::string("\0\0SECTION\0", 10) +
             std::string("\x02\0", 2) + std::string(5 << 20, 'x'),
         errors::kMalformed, "longer than"},
    };
    // Truncated anywhere: in a group code, in a value, between groups, just before EOF.
    const std::tuple<const char*, const std::string&, const char*> whole[] = {
        {"truncated ASCII", ascii, "unexpected end of file at line"},
        {"truncated binary", binary, "unexpected end of file at byte offset"},
        {"truncated R12 binary", binaryR12, "unexpected end of file at byte offset"}};
    for (const auto& [what, file, reason] : whole) {
        for (const double fraction : {0.05, 0.3, 0.5, 0.77, 0.999}) {
            const auto cut = static_cast<std::size_t>(static_cast<double>(file.size()) * fraction);
            table.push_back({what, file.substr(0, cut), errors::kMalformed, reason});
        }
    }
    return table;
}

TEST(BrokenDrawings, AreOpenFailuresWithAReason) {
    for (const Broken& broken : brokenFiles()) {
        SCOPED_TRACE(broken.what);
        for (std::size_t chunk : {std::size_t{64}, std::size_t{4} << 20}) {
            ReadOptions options;
            options.chunkSize = chunk;
            const auto result = readDrawingBytes(broken.bytes, options);
            ASSERT_FALSE(result.ok());
            EXPECT_EQ(result.error().number, broken.number);
            const QString& description = result.error().description;
            EXPECT_TRUE(broken.whole ? description == QString::fromUtf8(broken.reason)
                                     : description.contains(QString::fromUtf8(broken.reason)))
                << description.toStdString();
        }
    }
}

TEST(BrokenDrawings, ToleratedIrregularities) {
    // A comment before the first section, a UTF-8 byte order mark, CR LF line ends, no line
    // end after EOF, blanks around an entity name, a block without ENDBLK: all read.
    const std::string body = groups({{0, " INSERT  "}, {2, "B"}, {8, "L"}, {5, "1A"}});
    const std::string text =
        "\xEF\xBB\xBF"
        "999\r\ncomment\r\n" +
        entities(body);
    EXPECT_EQ(summary(select(parseOrFail(text.substr(0, text.size() - 1)))),
              QStringList{u"B L 1A"_qs});
    const std::string blocks =
        "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\n*Paper_Space3\n0\nINSERT\n2\nP\n0\nENDSEC\n0\nEOF\n";
    EXPECT_EQ(summary(select(parseOrFail(blocks), drawingapi::Space::Paper)),
              QStringList{u"P  "_qs});
}

}  // namespace
}  // namespace drawing::test
