// SPDX-License-Identifier: GPL-3.0-or-later
// Drawings written by AutoCAD (R2000..R2018), read from the shared folder at run time; the
// compressed ones are unpacked into a temporary folder first.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <numbers>

#include "drawing/reader_errors.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

// The DXF file `name` from the shared folder, unpacked into `dir` when it is compressed.
QString drawingFile(const QString& name, const QTemporaryDir& dir) {
    if (QFile::exists(autocadPath(name))) return autocadPath(name);
    const QString packed = autocadPath(name) + u".gz"_qs;
    if (!QFile::exists(packed)) return {};
    QProcess gzip;
    gzip.setStandardOutputFile(dir.filePath(name));
    gzip.start(u"gzip"_qs, {u"-dc"_qs, packed});
    if (!gzip.waitForFinished(60000) || gzip.exitCode() != 0) return {};
    return dir.filePath(name);
}

const QStringList kExampleReferences = {
    u"bloko Tavolo 3 190 [ETIKEDO=valoro de la teksto en bloko]"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1C8"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1D0"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1D1"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1D2"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1D3"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1D4"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1D5"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1D6"_qs,
    u"bloko Tavolo 3 756 [ETIKEDO=valoro]"_qs,
};

class AutoCadExample : public ::testing::TestWithParam<const char*> {};

TEST_P(AutoCadExample, ReferencesAndAttributes) {
    QTemporaryDir dir;
    const QString path = drawingFile(QString::fromLatin1(GetParam()), dir);
    ASSERT_FALSE(path.isEmpty()) << "missing test drawing " << GetParam();
    const auto drawing = readOrFail(path);
    const auto all = select(drawing);
    EXPECT_EQ(summary(all), kExampleReferences);
    EXPECT_TRUE(select(drawing, drawingapi::Space::Paper).empty());
    ASSERT_EQ(all.size(), 10u);
    EXPECT_EQ(all[0]->ownerId().value(), 0x1F);
    EXPECT_EQ(all[0]->objectId().value(), 0x190);
    const drawingapi::Point3 at = all[0]->insertionPoint().value();
    EXPECT_DOUBLE_EQ(at.x, 3642.137357931104);
    EXPECT_DOUBLE_EQ(at.y, 6066.049566611793);
    const auto& last = *all[9];
    EXPECT_DOUBLE_EQ(last.rotation().value(), 311.3439199910583 * std::numbers::pi / 180);
    EXPECT_DOUBLE_EQ(last.xScale().value(), 3256.517756985835);
    EXPECT_DOUBLE_EQ(last.yScale().value(), -1843.492018676836);
    EXPECT_DOUBLE_EQ(last.zScale().value(), 3256.517756985835);
    const auto attributes = last.attributes().value();
    ASSERT_EQ(attributes.size(), 1u);
    EXPECT_EQ(attributes[0]->handle().value(), "757");
    // The layer of a listing is compared ignoring letter case.
    const auto onLayer = select(drawing, std::nullopt, "TAVOLO 3");
    EXPECT_EQ(std::count_if(onLayer.begin(), onLayer.end(),
                            [](const auto& reference) {
                                return reference->name().value().compare("BLOKO",
                                                                         Qt::CaseInsensitive) == 0;
                            }),
              2);
}

INSTANTIATE_TEST_SUITE_P(Releases, AutoCadExample,
                         ::testing::Values("example_2000.dxf", "example_2004.dxf",
                                           "example_2007.dxf", "example_2010.dxf",
                                           "example_2013.dxf", "example_2018.dxf"));

TEST(AutoCadDrawings, Entities2d) {
    QTemporaryDir dir;
    const QString path = drawingFile(u"entities-2d_2000.dxf"_qs, dir);
    ASSERT_FALSE(path.isEmpty());
    const auto all = select(readOrFail(path));
    EXPECT_EQ(summary(all), (QStringList{u"BLOCK1 0 36"_qs, u"BLOCK2 0 41 [ATTR2=4]"_qs}));
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(properties(*all[1]),
              "name=BLOCK2 layer=0 handle=41 id=65 owner=31 object=AcDbBlockReference "
              "color=256 linetype=ByLayer rotation=0.523599 visible=1 scale=0.5,0.5,0.5 "
              "ltscale=1 lineweight=-1 xdict=0 at=3,1,2");
}

TEST(AutoCadDrawings, Gh209) {
    QTemporaryDir dir;
    const QString path = drawingFile(u"gh209_1_2010.dxf"_qs, dir);
    ASSERT_FALSE(path.isEmpty());
    const auto all = select(readOrFail(path));
    EXPECT_EQ(summary(all),
              (QStringList{u"symbol_work Symbol_Work 73 [TEST=888]"_qs,
                           u"symbol_work Symbol_Work 7D [TEST=456]"_qs,
                           u"symbol_border Symbol_Border 80 [MISPAR_TIK=9456/23]"_qs}));
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[2]->ownerId().value(), 2);
    EXPECT_DOUBLE_EQ(all[2]->insertionPoint().value().x, 7.439021248058509);
}

TEST(AutoCadDrawings, DwgReleasesOutsideTheReadOnesAreNamedInTheFailure) {
    const std::pair<const char*, const char*> releases[] = {
        {"AC1002", "DWG release AC1002 (AutoCAD 2.5) is not supported"},
        {"AC1001", "DWG release AC1001 (AutoCAD 2.2) is not supported"},
        {"AC1.50", "DWG release AC1.50 (AutoCAD 2.0) is not supported"},
        {"AC1040", "DWG release AC1040 is not supported"}};
    for (const auto& [release, message] : releases) {
        SCOPED_TRACE(release);
        std::string bytes(release);
        bytes.append(4096, '\0');
        const auto result = readDrawingBytes(bytes);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().number, errors::kUnsupported);
        EXPECT_EQ(result.error().description, QString::fromLatin1(message));
    }
}

}  // namespace
}  // namespace drawing::test
