// SPDX-License-Identifier: GPL-3.0-or-later
// References to dynamic blocks: a reference to an anonymous copy ("*U12") has the dynamic
// block's name as its effective name, in DXF and DWG alike; any other reference has its own.

#include <gtest/gtest.h>

#include <QFile>

#include "reader_probe.h"

namespace drawing::test {
namespace {

const QString kDynamic = QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/dynamic/");

struct DynamicSample {
    const char* name;
    QString effectiveName;  // of every reference
    QStringList handles;
};

class DynamicBlocks : public ::testing::TestWithParam<DynamicSample> {};

// The names of anonymous blocks are not compared: a DWG file stores them as "*U" and its DXF
// form numbers them.
TEST_P(DynamicBlocks, TheDwgAndItsTwinGiveTheDynamicBlocksName) {
    for (const char* extension : {".dxf", ".dwg"}) {
        SCOPED_TRACE(extension);
        const QString path = kDynamic + QLatin1String(GetParam().name) + QLatin1String(extension);
        ASSERT_TRUE(QFile::exists(path)) << "missing test drawing " << path.toStdString();
        QStringList handles;
        for (const auto& ref : select(readOrFail(path))) {
            EXPECT_EQ(ref->effectiveName().value(), GetParam().effectiveName);
            handles << ref->handle().value();
        }
        EXPECT_EQ(handles, GetParam().handles);
    }
}

INSTANTIATE_TEST_SUITE_P(
    AutoCad, DynamicBlocks,
    ::testing::Values(
        DynamicSample{"BLOCKFLIPPARAMETER", u"BLOCK_FLIP_PARAMETER"_qs, {u"255"_qs, u"28B"_qs}},
        DynamicSample{"BLOCKLINEARPARAMETER", u"LINEAR_PARAM"_qs, {u"254"_qs, u"284"_qs}},
        DynamicSample{"BLOCKROTATIONPARAMETER",
                      u"dynamic_block"_qs,
                      {u"254"_qs, u"27C"_qs, u"290"_qs, u"2A6"_qs}},
        DynamicSample{"BLOCKVISIBILITYPARAMETER",
                      u"block_visibility_parameter"_qs,
                      {u"252"_qs, u"268"_qs, u"284"_qs, u"28C"_qs}},
        DynamicSample{"BLOCKXYPARAMETER", u"BLOCK_XY_PARAMETER"_qs, {u"254"_qs, u"2AE"_qs}}),
    [](const auto& instance) { return parameterName(instance.param.name); });

class DynamicBlockFixtures : public ::testing::TestWithParam<const char*> {};

// Only a "*U" copy that names a record the drawing holds takes that record's name.
TEST_P(DynamicBlockFixtures, OnlyLinkedAnonymousCopiesTakeTheDynamicBlocksName) {
    const auto all = select(readOrFail(fixturePath(QLatin1String(GetParam()))));
    QStringList lines;
    for (const auto& ref : all) {
        const auto attributes = ref->attributes().value();
        lines << ref->name().value() + u' ' + ref->effectiveName().value() + u' ' +
                     (attributes.empty() ? QString() : attributes[0]->value().value());
    }
    EXPECT_EQ(lines,
              (QStringList{u"TITLE TITLE A-100"_qs, u"*U1 TITLE A-101"_qs, u"*U2 *U2 A-102"_qs,
                           u"*U3 *U3 A-103"_qs, u"PLAIN PLAIN A-104"_qs}));
}

INSTANTIATE_TEST_SUITE_P(Ezdxf, DynamicBlockFixtures,
                         ::testing::Values("dynamic_blocks_R2000.dxf", "dynamic_blocks_R2018.dxf",
                                           "dynamic_blocks_R2018_binary.dxf"),
                         [](const auto& instance) { return parameterName(instance.param); });

}  // namespace
}  // namespace drawing::test
