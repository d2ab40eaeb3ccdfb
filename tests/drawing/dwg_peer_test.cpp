// SPDX-License-Identifier: GPL-3.0-or-later
// LibreDWG, an independent reader, reads the same attribute values as ours in the drawings
// AutoCAD saved: what makes it a fair judge of the drawings Quillon writes.

#include <gtest/gtest.h>

#include <QString>

#include "drawing/dxf_reader.h"
#include "support/peers/libredwg_peer.h"

using namespace Qt::StringLiterals;

namespace drawing::test {
namespace {

class PeerReadsLikeUs : public ::testing::TestWithParam<const char*> {};

TEST_P(PeerReadsLikeUs, SameValuesByHandle) {
    SKIP_WITHOUT_LIBREDWG();
    const QString path =
        QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/") + QLatin1StringView(GetParam());
    const auto ours = readDrawingFile(path);
    ASSERT_TRUE(ours) << ours.error().description.toStdString();
    const auto peer = testsupport::readWithLibreDwg(path);
    ASSERT_TRUE(peer);
    EXPECT_LT(peer->error, 128);
    const auto texts = peer->textsByHandle();
    std::size_t compared = 0;
    for (const AttributeRecord& attribute : ours.value()->attributes) {
        const auto found = texts.find(attribute.handle.toQString().toUpper());
        // LibreDWG lists model-space references only; paper-space ones are ours alone.
        if (found == texts.end()) continue;
        EXPECT_EQ(found->second, attribute.text) << attribute.handle.view();
        ++compared;
    }
    EXPECT_GT(compared, 0u);
}

INSTANTIATE_TEST_SUITE_P(AutoCadDrawings, PeerReadsLikeUs,
                         ::testing::Values("autocad/example_r13.dwg", "autocad/example_r14.dwg",
                                           "autocad/example_2000.dwg", "autocad/example_2004.dwg",
                                           "autocad/example_2007.dwg", "autocad/example_2010.dwg",
                                           "autocad/example_2013.dwg", "autocad/example_2018.dwg"));

}  // namespace
}  // namespace drawing::test
