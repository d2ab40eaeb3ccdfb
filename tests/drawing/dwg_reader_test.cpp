// SPDX-License-Identifier: GPL-3.0-or-later
// Drawings saved by AutoCAD, read from their .dwg and from their DXF twin: the .dwg must give
// exactly what the twin gives, in every release AutoCAD saved it in, and the twins what the
// drawings hold.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <tuple>
#include <vector>

#include "drawing/dxf_reader.h"
#include "drawing/reader_errors.h"
#include "dwg_bytes.h"
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
        EXPECT_EQ(a.layout, b.layout);
        EXPECT_EQ(a.handle.view(), b.handle.view());
        EXPECT_EQ(std::tie(a.linetype, a.ownerId, a.color, a.lineweight, a.visible, a.minsert,
                           a.paperSpace, a.hasExtensionDictionary, a.attributesFollow),
                  std::tie(b.linetype, b.ownerId, b.color, b.lineweight, b.visible, b.minsert,
                           b.paperSpace, b.hasExtensionDictionary, b.attributesFollow));
        const auto numbers = [](const InsertRecord& r) {
            return std::array{r.linetypeScale, r.xScale,      r.yScale,      r.zScale,
                              r.rotation,      r.insertion.x, r.insertion.y, r.insertion.z};
        };
        for (std::size_t k = 0; k < 8; ++k) EXPECT_TRUE(near(numbers(a)[k], numbers(b)[k]));
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
    std::size_t references;
    QStringList summary;  // of model space, which holds every reference, when the test knows it
    TwinWriting writing = {};
};

class DwgTwin : public ::testing::TestWithParam<Twin> {};

TEST_P(DwgTwin, SameReferencesAsTheDxfFile) {
    const QString base = QString::fromLatin1(GetParam().base);
    const std::string dwgBytes = autocadBytes(base + u".dwg"_qs);
    const auto dxf = parseOrFail(autocadBytes(base + u".dxf"_qs));
    const auto dwg = parseOrFail(dwgBytes);
    ASSERT_FALSE(dwgBytes.empty());
    EXPECT_EQ(dwg->release, QString::fromLatin1(dwgBytes.data(), 6));
    EXPECT_EQ(dwg->enumeration.size(), GetParam().references);
    if (!GetParam().summary.isEmpty()) {
        EXPECT_EQ(summary(select(dwg, drawingapi::Space::Model)), GetParam().summary);
    }
    expectSameDrawing(*dwg, *dxf, GetParam().writing);
}

INSTANTIATE_TEST_SUITE_P(
    AutoCad, DwgTwin,
    ::testing::Values(
        Twin{"example_r13", 12, {}, {{"399", "4F2"}, {"24F"}, kSavedDown}},
        Twin{"example_r14", 10, {}, {{"399", "4F2"}, {}, kSavedDown}},
        Twin{"example_2000", 10, kExampleReferences}, Twin{"example_2004", 10, kExampleReferences},
        Twin{"example_2007", 10, kExampleReferences}, Twin{"example_2010", 10, kExampleReferences},
        Twin{"example_2013", 10, kExampleReferences}, Twin{"example_2018", 10, kExampleReferences},
        Twin{"entities-2d_2000", 2, {u"BLOCK1 0 36"_qs, u"BLOCK2 0 41 [ATTR2=4]"_qs}},
        Twin{"gh209_1_2010",
             3,
             {u"symbol_work Symbol_Work 73 [TEST=888]"_qs,
              u"symbol_work Symbol_Work 7D [TEST=456]"_qs,
              u"symbol_border Symbol_Border 80 [MISPAR_TIK=9456/23]"_qs}},
        Twin{"entities-2d_r11", 2, {}}, Twin{"tmp_line_r10", 1, {}},
        // The oldest release read: block definitions only, none of them referenced.
        Twin{"block_r2.10", 0, {}}),
    [](const auto& instance) { return parameterName(instance.param.base); });

// A rotation past half a turn and a negative scale, as AutoCAD wrote them; the .dwg files say
// the same (the twins above).
TEST(AutoCadDrawings, RotationsAndScalesKeepTheirSignAndPrecision) {
    const auto example = select(parseOrFail(autocadBytes(u"example_2000.dxf"_qs)));
    ASSERT_EQ(example.size(), 10u);
    const auto& last = *example[9];
    EXPECT_DOUBLE_EQ(last.rotation().value(), 311.3439199910583 * std::numbers::pi / 180);
    EXPECT_DOUBLE_EQ(last.xScale().value(), 3256.517756985835);
    EXPECT_DOUBLE_EQ(last.yScale().value(), -1843.492018676836);
    EXPECT_DOUBLE_EQ(last.zScale().value(), 3256.517756985835);
    EXPECT_DOUBLE_EQ(example[0]->insertionPoint().value().x, 3642.137357931104);
    EXPECT_DOUBLE_EQ(example[0]->insertionPoint().value().y, 6066.049566611793);
}

// R13 and R14 store the names of blocks, layers and linetypes in upper case and without
// blanks. A later release that saves a drawing down to them keeps the names it shows beside
// those (ACAD_XREC_ROUNDTRIP), and the reader shows those (the twins above), as that release
// does. A filter names a layer as it is shown, in any letter case. The names kept are a
// courtesy: when their record cannot be read, the names the drawing stores are shown.
TEST(DwgRoundTripNames, ShownNamesFilterAndADamagedRecordLeavesTheStoredNames) {
    for (const QString& name : {u"example_r13.dwg"_qs, u"example_r14.dwg"_qs}) {
        SCOPED_TRACE(name.toStdString());
        const auto drawing = parseOrFail(autocadBytes(name));
        EXPECT_EQ(select(drawing, std::nullopt, u"tavolo 3"_qs).size(), select(drawing).size());
        EXPECT_TRUE(select(drawing, std::nullopt, u"TAVOLO_3"_qs).empty());
    }
    const std::string sample = autocadBytes(u"example_r14.dwg"_qs);
    const struct {
        const char* what;
        std::string changed;  // a byte of the record, which its check value then refuses
        QString block, layer;
    } cases[] = {
        {"layer name record", flipped(sample, sample.find("Tavolo 3") + 1), u"bloko"_qs,
         u"TAVOLO_3"_qs},
        {"block name record", flipped(sample, sample.find("bloko") + 1), u"BLOKO"_qs,
         u"Tavolo 3"_qs},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        References bloko;
        for (const auto& reference : select(parseOrFail(c.changed)))
            if (reference->name().value().compare(u"bloko"_qs, Qt::CaseInsensitive) == 0)
                bloko.push_back(reference);
        EXPECT_EQ(summary(bloko),
                  (QStringList{
                      c.block + u' ' + c.layer + u" 190 [ETIKEDO=valoro de la teksto en bloko]"_qs,
                      c.block + u' ' + c.layer + u" 756 [ETIKEDO=valoro]"_qs}));
    }
}

}  // namespace
}  // namespace drawing::test
