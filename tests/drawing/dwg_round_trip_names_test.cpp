// SPDX-License-Identifier: GPL-3.0-or-later
// R13 and R14 store the names of blocks, layers and linetypes in upper case and without blanks.
// A later release that saves a drawing down to them keeps the names it shows beside those
// (ACAD_XREC_ROUNDTRIP); the reader shows those names, as that release does.

#include <gtest/gtest.h>

#include <string>

#include "drawing/dxf_reader.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

// The references of block "bloko" in the AutoCAD sample, as the release that made it shows them.
const QStringList kBloko = {u"bloko Tavolo 3 190 [ETIKEDO=valoro de la teksto en bloko]"_qs,
                            u"bloko Tavolo 3 756 [ETIKEDO=valoro]"_qs};

QStringList blokoReferences(const std::shared_ptr<const Drawing>& drawing) {
    References bloko;
    for (const auto& reference : select(drawing)) {
        if (reference->name().valueOr({}).compare(u"bloko"_qs, Qt::CaseInsensitive) == 0)
            bloko.push_back(reference);
    }
    return summary(bloko);
}

TEST(DwgRoundTripNames, SavedDownDrawingsShowTheNamesOfTheLaterRelease) {
    EXPECT_EQ(blokoReferences(readOrFail(autocadPath(u"example_2000.dwg"_qs))), kBloko)
        << "the drawing as the later release saved it itself";
    for (const QString& name : {u"example_r13.dwg"_qs, u"example_r14.dwg"_qs}) {
        SCOPED_TRACE(name.toStdString());
        const auto drawing = readOrFail(autocadPath(name));
        EXPECT_EQ(blokoReferences(drawing), kBloko);
        // A filter names a layer as it is shown, in any letter case.
        EXPECT_EQ(select(drawing, std::nullopt, u"tavolo 3"_qs).size(), select(drawing).size());
        EXPECT_TRUE(select(drawing, std::nullopt, u"TAVOLO_3"_qs).empty());
    }
}

// The names kept for the later release are a courtesy: when their record cannot be read, the
// names the drawing stores are shown and the drawing reads all the same.
TEST(DwgRoundTripNames, ADamagedRecordLeavesTheStoredNames) {
    const std::string sample = autocadBytes(u"example_r14.dwg"_qs);
    const struct {
        const char* what;
        std::string changed;  // a byte of the record, which its check value then refuses
        QStringList references;
    } cases[] = {
        {"layer name record",
         flipped(sample, sample.find("Tavolo 3") + 1),
         {u"bloko TAVOLO_3 190 [ETIKEDO=valoro de la teksto en bloko]"_qs,
          u"bloko TAVOLO_3 756 [ETIKEDO=valoro]"_qs}},
        {"block name record",
         flipped(sample, sample.find("bloko") + 1),
         {u"BLOKO Tavolo 3 190 [ETIKEDO=valoro de la teksto en bloko]"_qs,
          u"BLOKO Tavolo 3 756 [ETIKEDO=valoro]"_qs}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto result = readDrawingBytes(c.changed);
        ASSERT_TRUE(result.ok()) << result.error().description.toStdString();
        EXPECT_EQ(blokoReferences(result.value()), c.references);
    }
}

}  // namespace
}  // namespace drawing::test
