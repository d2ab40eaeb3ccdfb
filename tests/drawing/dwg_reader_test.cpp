// SPDX-License-Identifier: GPL-3.0-or-later
// The DWG reader against the DXF reader: each AutoCAD drawing read from its .dwg must give
// exactly what its DXF twin gives, in every release AutoCAD saved it in.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "drawing/dxf_reader.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

::testing::AssertionResult near(double a, double b) {
    const double scale = std::max({std::fabs(a), std::fabs(b), 1.0});
    if (std::fabs(a - b) <= 1e-9 * scale) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << a << " != " << b;
}

// Where a twin was not written from the drawing as it is: the R13 and R14 samples were saved
// down from a later release, and their twins written from them (as R2000 DXF files) by a
// program that turned what R2000 has no entity for into block references of anonymous
// blocks it made: a table ("*T14") and an arc dimension. The .dwg holds a table and an arc
// dimension there, which no release's reader counts as block references. It also rebuilt
// the R13 hatch's block under another number. And it wrote the names of blocks and layers as
// R13 and R14 store them, in upper case, where the later release kept the names it shows, and
// the reader shows, beside them.
struct TwinWriting {
    std::vector<std::string> madeReferences;  // handles of references only the twin has
    std::vector<std::string> renamedBlocks;   // handles of references whose block it renamed
    std::vector<std::pair<QString, QString>> storedNames;  // (the twin's name, the shown one)
};

QString shown(const QString& name, const TwinWriting& writing) {
    for (const auto& [stored, shownName] : writing.storedNames)
        if (name == stored) return shownName;
    return name;
}

bool listed(const std::vector<std::string>& handles, std::string_view handle) {
    return std::find(handles.begin(), handles.end(), handle) != handles.end();
}

void expectSameDrawing(const Drawing& dwg, const Drawing& dxf, const TwinWriting& writing = {}) {
    std::vector<std::uint32_t> twin;
    for (const std::uint32_t index : dxf.enumeration)
        if (!listed(writing.madeReferences, dxf.inserts[index].handle.view()))
            twin.push_back(index);
    EXPECT_EQ(dxf.enumeration.size() - twin.size(), writing.madeReferences.size());
    ASSERT_EQ(dwg.enumeration.size(), twin.size());
    for (std::size_t i = 0; i < twin.size(); ++i) {
        const InsertRecord& a = dwg.inserts[dwg.enumeration[i]];
        const InsertRecord& b = dxf.inserts[twin[i]];
        SCOPED_TRACE("reference " + std::to_string(i) + " handle " + std::string(b.handle.view()));
        if (listed(writing.renamedBlocks, b.handle.view()))
            EXPECT_TRUE(a.name.startsWith(u"*X"_qs) && b.name.startsWith(u"*X"_qs))
                << a.name.toStdString();
        else
            EXPECT_EQ(a.name, shown(b.name, writing));
        EXPECT_EQ(a.layer, shown(b.layer, writing));
        EXPECT_EQ(a.linetype, b.linetype);
        EXPECT_EQ(a.handle.view(), b.handle.view());
        EXPECT_EQ(a.ownerId, b.ownerId);
        EXPECT_EQ(a.color, b.color);
        EXPECT_EQ(a.lineweight, b.lineweight);
        EXPECT_EQ(a.visible, b.visible);
        EXPECT_EQ(a.minsert, b.minsert);
        EXPECT_EQ(a.paperSpace, b.paperSpace);
        EXPECT_EQ(a.hasExtensionDictionary, b.hasExtensionDictionary);
        EXPECT_EQ(a.attributesFollow, b.attributesFollow);
        EXPECT_TRUE(near(a.linetypeScale, b.linetypeScale));
        EXPECT_TRUE(near(a.xScale, b.xScale));
        EXPECT_TRUE(near(a.yScale, b.yScale));
        EXPECT_TRUE(near(a.zScale, b.zScale));
        EXPECT_TRUE(near(a.rotation, b.rotation));
        EXPECT_TRUE(near(a.insertion.x, b.insertion.x));
        EXPECT_TRUE(near(a.insertion.y, b.insertion.y));
        EXPECT_TRUE(near(a.insertion.z, b.insertion.z));
        ASSERT_EQ(a.attributeCount, b.attributeCount);
        for (std::uint32_t k = 0; k < a.attributeCount; ++k) {
            const AttributeRecord& x = dwg.attributes[a.firstAttribute + k];
            const AttributeRecord& y = dxf.attributes[b.firstAttribute + k];
            EXPECT_EQ(x.tag, y.tag);
            EXPECT_EQ(x.text, y.text);
            EXPECT_EQ(x.handle.view(), y.handle.view());
        }
    }
}

const std::vector<std::pair<QString, QString>> kSavedDown = {{u"BLOKO"_qs, u"bloko"_qs},
                                                             {u"TAVOLO_3"_qs, u"Tavolo 3"_qs}};

struct Twin {
    const char* base;
    TwinWriting writing;
};

class DwgTwin : public ::testing::TestWithParam<Twin> {};

TEST_P(DwgTwin, SameReferencesAsTheDxfFile) {
    const QString base = QString::fromLatin1(GetParam().base);
    const std::string dwgBytes = autocadBytes(base + u".dwg"_qs);
    const std::string dxfBytes = autocadBytes(base + u".dxf"_qs);
    ASSERT_FALSE(dwgBytes.empty() || dxfBytes.empty())
        << "missing test drawing " << base.toStdString();
    const auto dxf = readDrawingBytes(dxfBytes);
    ASSERT_TRUE(dxf.ok()) << dxf.error().description.toStdString();
    const auto result = readDrawingBytes(dwgBytes);
    ASSERT_TRUE(result.ok()) << result.error().description.toStdString();
    const Drawing& dwg = *result.value();
    EXPECT_FALSE(dwg.enumeration.empty());
    EXPECT_EQ(dwg.release, QString::fromLatin1(dwgBytes.data(), 6));
    expectSameDrawing(dwg, *dxf.value(), GetParam().writing);
}

INSTANTIATE_TEST_SUITE_P(
    AutoCad, DwgTwin,
    ::testing::Values(Twin{"example_r13", {{"399", "4F2"}, {"24F"}, kSavedDown}},
                      Twin{"example_r14", {{"399", "4F2"}, {}, kSavedDown}},
                      Twin{"example_2000", {}}, Twin{"entities-2d_2000", {}},
                      Twin{"example_2004", {}}, Twin{"example_2007", {}}, Twin{"example_2010", {}},
                      Twin{"gh209_1_2010", {}}, Twin{"example_2013", {}}, Twin{"example_2018", {}},
                      Twin{"entities-2d_r11", {}}, Twin{"tmp_line_r10", {}}),
    [](const auto& instance) { return parameterName(instance.param.base); });

// The oldest release read: a drawing of block definitions only, none of them referenced.
TEST(DwgOldReleases, BlockDefinitionsAloneGiveNoReferences) {
    const std::string dwgBytes = autocadBytes(u"block_r2.10.dwg"_qs);
    const std::string dxfBytes = autocadBytes(u"block_r2.10.dxf"_qs);
    ASSERT_FALSE(dwgBytes.empty() || dxfBytes.empty()) << "missing test drawing block_r2.10";
    const auto dxf = readDrawingBytes(dxfBytes);
    ASSERT_TRUE(dxf.ok()) << dxf.error().description.toStdString();
    const auto dwg = readDrawingBytes(dwgBytes);
    ASSERT_TRUE(dwg.ok()) << dwg.error().description.toStdString();
    EXPECT_EQ(dwg.value()->release, u"AC2.10"_qs);
    EXPECT_TRUE(dxf.value()->inserts.empty());
    EXPECT_TRUE(dwg.value()->inserts.empty());
    EXPECT_TRUE(dwg.value()->enumeration.empty());
}

}  // namespace
}  // namespace drawing::test
