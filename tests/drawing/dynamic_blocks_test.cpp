// SPDX-License-Identifier: GPL-3.0-or-later
// References to dynamic blocks: a reference to an anonymous copy ("*U12") has the dynamic
// block's name as its effective name, in DXF and DWG alike; any other reference has its own.

#include <gtest/gtest.h>

#include <QFile>

#include "reader_probe.h"

namespace drawing::test {
namespace {

const QString kDynamic = QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/dynamic/");

// "handle effective-name" per reference, in enumeration order. The names of anonymous
// blocks are not compared: a DWG file stores them as "*U" and its DXF form numbers them.
QStringList effectiveNames(const References& references) {
    QStringList lines;
    for (const auto& ref : references)
        lines << ref->handle().value() + u' ' + ref->effectiveName().value();
    return lines;
}

struct DynamicSample {
    const char* name;
    QStringList references;
};

class DynamicBlocks : public ::testing::TestWithParam<DynamicSample> {};

TEST_P(DynamicBlocks, TheDwgAndItsTwinGiveTheDynamicBlocksName) {
    for (const char* extension : {".dxf", ".dwg"}) {
        SCOPED_TRACE(extension);
        const QString path = kDynamic + QLatin1String(GetParam().name) + QLatin1String(extension);
        ASSERT_TRUE(QFile::exists(path)) << "missing test drawing " << path.toStdString();
        EXPECT_EQ(effectiveNames(select(readOrFail(path))), GetParam().references);
    }
}

INSTANTIATE_TEST_SUITE_P(
    AutoCad, DynamicBlocks,
    ::testing::Values(
        DynamicSample{"BLOCKFLIPPARAMETER",
                      {u"255 BLOCK_FLIP_PARAMETER"_qs, u"28B BLOCK_FLIP_PARAMETER"_qs}},
        DynamicSample{"BLOCKLINEARPARAMETER", {u"254 LINEAR_PARAM"_qs, u"284 LINEAR_PARAM"_qs}},
        DynamicSample{"BLOCKROTATIONPARAMETER",
                      {u"254 dynamic_block"_qs, u"27C dynamic_block"_qs, u"290 dynamic_block"_qs,
                       u"2A6 dynamic_block"_qs}},
        DynamicSample{"BLOCKVISIBILITYPARAMETER",
                      {u"252 block_visibility_parameter"_qs, u"268 block_visibility_parameter"_qs,
                       u"284 block_visibility_parameter"_qs, u"28C block_visibility_parameter"_qs}},
        DynamicSample{"BLOCKXYPARAMETER",
                      {u"254 BLOCK_XY_PARAMETER"_qs, u"2AE BLOCK_XY_PARAMETER"_qs}}),
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
