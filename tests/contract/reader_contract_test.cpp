// SPDX-License-Identifier: GPL-3.0-or-later
// The same expectations against the memory model the engine's tests use and against our
// drawing reader, so the double cannot drift from the real thing.

#include <gtest/gtest.h>

#include <QDir>
#include <cmath>
#include <numbers>

#include "drawing/drawing_file_reader.h"
#include "drawing/reader_errors.h"
#include "support/memory_drawing_model.h"
#include "support/qt_printers.h"

namespace {

const QString kDrawing = QStringLiteral(QUILLON_FIXTURES_DIR "/contract/contract.dxf");
const QString kMissing = QStringLiteral(QUILLON_FIXTURES_DIR "/contract/missing.dxf");

// The contents of contract.dxf, as the memory model holds them.
fake::MemDrawing contractDrawing() {
    auto make = [](QString name, QString layer, QString handle, drawingapi::Point3 point,
                   bool paper, std::vector<fake::MemAttribute> attributes) {
        fake::MemBlock b;
        b.name = std::move(name);
        b.layer = std::move(layer);
        b.handle = handle;
        b.objectId = handle.toLongLong(nullptr, 16);
        b.ownerId = 0x1F;
        b.insertionPoint = point;
        b.paper = paper;
        b.attributes = std::move(attributes);
        return b;
    };
    fake::MemDrawing d;
    d.blocks = {make("TITLE", "Border", "2A", {10.5, 20.25, 0}, false,
                     {{"DWGNO", "A-101", "2B"}, {"REV", "C", "2C"}, {"dwgno", "second", "2D"}}),
                make("Pump", "Equip", "30", {1, 2, 3}, false, {}),
                make("pump", "equip", "31", {4, 5, 6}, false, {{"TAG", "P-1", "32"}}),
                make("TITLE", "0", "40", {0.5, 0.25, 0}, true, {{"DWGNO", "S-1", "41"}})};
    d.blocks[0].xScale = 2;
    d.blocks[0].yScale = 3;
    d.blocks[0].rotation = std::numbers::pi / 2;
    return d;
}

struct Provider {
    const char* name;
    std::function<drawingapi::ReaderFactory()> factory;
    long missingNumber;  // the error number of a drawing that is not there
};

using drawingapi::Space;

class ReaderContract : public ::testing::TestWithParam<Provider> {
protected:
    void SetUp() override {
        auto created = GetParam().factory()();
        ASSERT_TRUE(created.ok());
        reader = created.value();
        auto opened = reader->open(kDrawing, {});
        ASSERT_TRUE(opened.ok()) << opened.error().description.toStdString();
        drawing = opened.value();
    }

    // Name, layer and handle of each reference listed, in drawing order.
    QStringList list(Space space, const QString& layer = {}) {
        const auto references = drawing->blockReferences(space, layer);
        EXPECT_TRUE(references.ok());
        QStringList found;
        for (const auto& block : references.value()) {
            found << block->name().value() + "|" + block->layer().value() + "|" +
                         block->handle().value();
        }
        return found;
    }
    std::shared_ptr<const drawingapi::BlockReference> first(Space space, const QString& layer) {
        const auto references = drawing->blockReferences(space, layer).value();
        return references.empty() ? nullptr : references.front();
    }

    std::shared_ptr<drawingapi::DrawingReader> reader;
    std::shared_ptr<const drawingapi::Drawing> drawing;
};

TEST_P(ReaderContract, SpacesListInDrawingOrder) {
    EXPECT_EQ(list(Space::Model),
              (QStringList{"TITLE|Border|2A", "Pump|Equip|30", "pump|equip|31"}));
    EXPECT_EQ(list(Space::Paper), QStringList{"TITLE|0|40"});
}

TEST_P(ReaderContract, LayerIgnoresLetterCaseAndMatchesWholeNames) {
    EXPECT_EQ(list(Space::Model, "EQUIP"), (QStringList{"Pump|Equip|30", "pump|equip|31"}));
    EXPECT_EQ(list(Space::Model, "border"), QStringList{"TITLE|Border|2A"});
    EXPECT_EQ(list(Space::Paper, "0"), QStringList{"TITLE|0|40"});
    EXPECT_TRUE(list(Space::Paper, "Border").isEmpty()) << "the layer of the other space";
    EXPECT_TRUE(list(Space::Model, "Equi").isEmpty()) << "no part names";
    EXPECT_TRUE(list(Space::Model, "Equip*").isEmpty()) << "no wildcards";
}

TEST_P(ReaderContract, AttributesInOrderWithTheirHandles) {
    const auto title = first(Space::Model, "Border");
    ASSERT_TRUE(title);
    EXPECT_TRUE(title->hasAttributes().value());
    const drawingapi::Attributes attributes = title->attributes().value();
    QStringList seen;
    for (const auto& a : attributes) {
        seen << a->tag().value() + "=" + a->value().value() + "@" + a->handle().value();
    }
    EXPECT_EQ(seen, (QStringList{"DWGNO=A-101@2B", "REV=C@2C", "dwgno=second@2D"}));

    const auto plain = first(Space::Model, "Equip");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->name().value(), "Pump");
    EXPECT_EQ(plain->effectiveName().value(), "Pump");
    EXPECT_FALSE(plain->hasAttributes().value());
    EXPECT_TRUE(plain->attributes().value().empty());
}

TEST_P(ReaderContract, PropertiesAndTheirDefaults) {
    const auto title = first(Space::Model, "Border");
    ASSERT_TRUE(title);
    EXPECT_EQ(title->objectId().value(), 0x2A);
    EXPECT_EQ(title->ownerId().value(), 0x1F);
    EXPECT_EQ(title->objectName().value(), "AcDbBlockReference");
    EXPECT_EQ(title->color().value(), 256);
    EXPECT_EQ(title->linetype().value(), "ByLayer");
    EXPECT_EQ(title->lineweight().value(), -1);
    EXPECT_TRUE(title->visible().value());
    EXPECT_FALSE(title->hasExtensionDictionary().value());
    EXPECT_DOUBLE_EQ(title->xScale().value(), 2);
    EXPECT_DOUBLE_EQ(title->yScale().value(), 3);
    EXPECT_DOUBLE_EQ(title->zScale().value(), 1);
    EXPECT_DOUBLE_EQ(title->linetypeScale().value(), 1);
    EXPECT_NEAR(title->rotation().value(), std::numbers::pi / 2, 1e-12);
    const drawingapi::Point3 p = title->insertionPoint().value();
    EXPECT_DOUBLE_EQ(p.x, 10.5);
    EXPECT_DOUBLE_EQ(p.y, 20.25);
    EXPECT_DOUBLE_EQ(p.z, 0);
}

TEST_P(ReaderContract, OpenFailsWithAReasonAndReferencesOutliveTheirDrawing) {
    const auto missing = reader->open(kMissing, {});
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().number, GetParam().missingNumber);
    EXPECT_FALSE(missing.error().description.isEmpty());
    auto second = reader->open(kDrawing, QStringLiteral("ignored"));
    ASSERT_TRUE(second.ok()) << "a drawing opens again while open, a password it needs not "
                                "is ignored";
    const auto references = second.value()->blockReferences(Space::Paper).value();
    second = core::Error{};
    drawing.reset();
    reader.reset();
    ASSERT_EQ(references.size(), 1u);
    EXPECT_EQ(references[0]->handle().value(), "40");
    EXPECT_EQ(references[0]->attributes().value().size(), 1u);
}

std::shared_ptr<fake::MemoryDrawingModel> contractModel() {
    static auto model = [] {
        auto m = fake::MemoryDrawingModel::create();
        m->addDrawing(kDrawing, contractDrawing());
        return m;
    }();
    return model;
}

INSTANTIATE_TEST_SUITE_P(
    BothImplementations, ReaderContract,
    ::testing::Values(Provider{"MemoryModel", [] { return contractModel()->factory(); }, -1},
                      Provider{"DrawingFileReader",
                               [] { return drawing::drawingFileReaderFactory(); },
                               drawing::errors::kFileNotFound}),
    [](const auto& instance) { return std::string(instance.param.name); });

}  // namespace
