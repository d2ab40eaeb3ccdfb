// SPDX-License-Identifier: GPL-3.0-or-later
// The reader against small drawings written by ezdxf (tests/fixtures/dxf/make_fixtures.py) in
// every release and both encodings: which references, in which order, with which values.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <numbers>

#include "drawing/dxf_reader.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

// Model space in file order, then the layouts in tab order (Layout4, Layout1, Layout2), which
// is not their order in the file; the reference inside block NESTED is never reported.
const QStringList kLayoutsSummary = {
    u"TAGBLOCK Tags 58 [TAG1=Value 1, TAG2=Größe 5°]"_qs,
    u"PLAIN Frame 5C"_qs,
    u"NESTED 0 5E"_qs,
    u"PLAIN 0 60"_qs,
    u"*U1 0 62"_qs,
    u"TAGBLOCK 0 64 [TAG1=dict, TAG2=]"_qs,
    u"TAGBLOCK 0 83 [TAG1=Layout4, TAG2=w]"_qs,
    u"TAGBLOCK 0 69 [TAG1=Layout1 A, TAG2=x]"_qs,
    u"PLAIN Frame 6D"_qs,
    u"TAGBLOCK 0 73 [TAG1=Layout2, TAG2=y]"_qs,
};

class LayoutsFixture : public ::testing::TestWithParam<const char*> {};

TEST_P(LayoutsFixture, ReportsTopLevelReferencesInEnumerationOrder) {
    const QString name = QString::fromLatin1(GetParam());
    const auto drawing = readOrFail(fixturePath(name));
    EXPECT_EQ(summary(select(drawing)), kLayoutsSummary);
    EXPECT_EQ(summary(select(drawing, drawingapi::Space::Model)), kLayoutsSummary.mid(0, 6));
    EXPECT_EQ(summary(select(drawing, drawingapi::Space::Paper)), kLayoutsSummary.mid(6));

    const auto all = select(drawing);
    ASSERT_EQ(all.size(), 10u);
    EXPECT_EQ(properties(*all[0]),
              "name=TAGBLOCK layer=Tags handle=58 id=88 owner=23 object=AcDbBlockReference "
              "color=1 linetype=DASHED rotation=1.5708 visible=1 scale=2,3,4 ltscale=0.5 "
              "lineweight=50 xdict=0 at=1,2,3");
    // Extrusion (0,0,-1): OCS (1,2,3) is WCS (-1,2,-3). Not visible (60 = 1), but ezdxf writes
    // no visibility group in its binary files.
    EXPECT_EQ(properties(*all[1]),
              QStringLiteral("name=PLAIN layer=Frame handle=5C id=92 owner=23 "
                             "object=AcDbBlockReference color=0 linetype=ByBlock rotation=0 "
                             "visible=%1 scale=1,1,1 ltscale=1 lineweight=-1 xdict=0 at=-1,2,-3")
                  .arg(name.contains(u"binary"_qs) ? 1 : 0));
    EXPECT_EQ(all[3]->objectName().value(), "AcDbMInsertBlock");
    EXPECT_EQ(all[4]->linetype().value(), "ByLayer");  // written "bylayer"
    EXPECT_TRUE(all[5]->hasExtensionDictionary().value());
    EXPECT_FALSE(all[2]->hasAttributes().value());
    // Owners: the model space, the active layout, and the layout blocks.
    EXPECT_EQ(all[6]->ownerId().value(), 0x7F);
    EXPECT_EQ(all[7]->ownerId().value(), 0x1B);
    EXPECT_EQ(all[9]->ownerId().value(), 0x6F);
    // Each paper-space reference knows its layout's name, as its tab shows it.
    QStringList layouts;
    for (const std::uint32_t i : drawing->enumeration)
        layouts << drawing->inserts[i].handle.toQString() + u'=' + drawing->inserts[i].layout;
    EXPECT_EQ(layouts, (QStringList{u"58="_qs, u"5C="_qs, u"5E="_qs, u"60="_qs, u"62="_qs,
                                    u"64="_qs, u"83=Layout4"_qs, u"69=Layout1"_qs, u"6D=Layout1"_qs,
                                    u"73=Layout2"_qs}));
    const auto attributes = all[0]->attributes().value();
    ASSERT_EQ(attributes.size(), 2u);
    EXPECT_EQ(attributes[0]->handle().value(), "5A");
    EXPECT_EQ(attributes[1]->handle().value(), "5B");
}

INSTANTIATE_TEST_SUITE_P(Releases, LayoutsFixture,
                         ::testing::Values("layouts_R2000.dxf", "layouts_R2004.dxf",
                                           "layouts_R2007.dxf", "layouts_R2010.dxf",
                                           "layouts_R2013.dxf", "layouts_R2018.dxf",
                                           "layouts_R2000_binary.dxf", "layouts_R2018_binary.dxf"),
                         [](const auto& instance) { return parameterName(instance.param); });

TEST(LayoutsFixture, R12HasOnePaperSpaceAndNoOwners) {
    // The ASCII file and the binary one with 1-byte group codes.
    for (const char* name : {"layouts_R12.dxf", "layouts_R12_binary.dxf"}) {
        SCOPED_TRACE(name);
        const auto drawing = readOrFail(fixturePath(QString::fromLatin1(name)));
        EXPECT_EQ(drawing->release, "AC1009");
        const auto all = select(drawing);
        EXPECT_EQ(
            summary(all),
            (QStringList{u"TAGBLOCK Tags 56 [TAG1=Value 1, TAG2=Größe 5°]"_qs, u"PLAIN Frame 5A"_qs,
                         u"NESTED 0 5C"_qs, u"PLAIN 0 5E"_qs, u"*U1 0 60"_qs,
                         u"TAGBLOCK 0 62 [TAG1=dict, TAG2=]"_qs,
                         u"TAGBLOCK 0 66 [TAG1=Layout1 A, TAG2=x]"_qs, u"PLAIN Frame 6A"_qs}));
        ASSERT_EQ(all.size(), 8u);
        EXPECT_EQ(all[0]->ownerId().value(), 0);
        EXPECT_DOUBLE_EQ(all[0]->rotation().value(), std::numbers::pi / 2);
        // No subclass marker before R13: rows and columns tell a MINSERT.
        EXPECT_EQ(all[3]->objectName().value(), "AcDbMInsertBlock");
        EXPECT_EQ(all[1]->insertionPoint().value().x, -1);
        EXPECT_EQ(summary(select(drawing, drawingapi::Space::Paper)), summary(all).mid(6));
    }
}

TEST(LayoutsFixture, R12WithoutHandlesAndIrregularAttributeLists) {
    const auto drawing = readOrFail(fixturePath(u"r12_no_handles.dxf"_qs));
    const auto all = select(drawing);
    // 66=1 with only a SEQEND: attributes announced, none there; 66=1 without SEQEND: the
    // next entity ends the list.
    EXPECT_EQ(summary(all),
              (QStringList{u"FRAME TITLE  [DWGNO=A-101, TITLE=Site plan]"_qs, u"EMPTY 0  []"_qs,
                           u"NOSEQEND 0  [T=orphan-free]"_qs, u"PAPER 0 "_qs}));
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0]->objectId().value(), 0);
    EXPECT_EQ(all[0]->handle().value(), "");
    EXPECT_TRUE(all[1]->hasAttributes().value());
    EXPECT_TRUE(all[1]->attributes().value().empty());
    EXPECT_EQ(all[0]->insertionPoint().value().y, 2.5);
    EXPECT_EQ(summary(select(drawing, drawingapi::Space::Paper)), QStringList{u"PAPER 0 "_qs});
}

TEST(LayoutsFixture, ChunkBoundariesAnywhereGiveTheSameResult) {
    // Tiny chunks put a chunk boundary inside every kind of line and value.
    for (const char* name : {"layouts_R2018.dxf", "layouts_R2018_binary.dxf",
                             "layouts_R12_binary.dxf", "multiline_attribute_R2018.dxf"}) {
        SCOPED_TRACE(name);
        const QString path = fixturePath(QString::fromLatin1(name));
        const QStringList expected = summary(select(readOrFail(path)));
        for (std::size_t chunk : {64u, 67u, 100u, 1023u}) {
            ReadOptions options;
            options.chunkSize = chunk;
            EXPECT_EQ(summary(select(readOrFail(path, options))), expected) << chunk;
            EXPECT_EQ(summary(select(parseOrFail(readBytes(path), options))), expected) << chunk;
        }
    }
}

TEST(LayoutsFixture, ContentDecidesNotTheFileName) {
    // A DXF file saved under a .dwg name is read.
    QTemporaryDir dir;
    const QString copy = dir.filePath(u"drawing.dwg"_qs);
    ASSERT_TRUE(QFile::copy(fixturePath(u"layouts_R2010.dxf"_qs), copy));
    EXPECT_EQ(summary(select(readOrFail(copy))), kLayoutsSummary);
}

}  // namespace
}  // namespace drawing::test
