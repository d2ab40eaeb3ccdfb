// SPDX-License-Identifier: GPL-3.0-or-later
// The same expectations against the memory model the engine's tests use and against our
// drawing reader, so the double cannot drift from the real thing.

#include <gtest/gtest.h>

#include <QDir>
#include <cmath>
#include <numbers>

#include "drawing/reader_application.h"
#include "support/memory_drawing_model.h"
#include "support/qt_printers.h"

namespace {

const QString kDrawing = QStringLiteral(QUILLON_FIXTURES_DIR "/contract/contract.dxf");
const QString kMissing = QStringLiteral(QUILLON_FIXTURES_DIR "/contract/missing.dxf");

// The contents of contract.dxf, as the memory model holds them.
fake::MemDrawing contractDrawing() {
    auto make = [](QString name, QString layer, QString handle, acad::Point3 point, bool paper,
                   std::vector<fake::MemAttribute> attributes) {
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
    d.blocks.push_back(
        make("TITLE", "Border", "2A", {10.5, 20.25, 0}, false,
             {{"DWGNO", "A-101", "2B"}, {"REV", "C", "2C"}, {"dwgno", "second", "2D"}}));
    d.blocks.back().xScale = 2;
    d.blocks.back().yScale = 3;
    d.blocks.back().rotation = std::numbers::pi / 2;
    d.blocks.push_back(make("Pump", "Equip", "30", {1, 2, 3}, false, {}));
    d.blocks.push_back(make("pump", "equip", "31", {4, 5, 6}, false, {{"TAG", "P-1", "32"}}));
    d.blocks.push_back(make("TITLE", "0", "40", {0.5, 0.25, 0}, true, {{"DWGNO", "S-1", "41"}}));
    return d;
}

struct Provider {
    const char* name;
    std::function<acad::ApplicationFactory()> factory;
};

class AutomationContract : public ::testing::TestWithParam<Provider> {
protected:
    void SetUp() override {
        auto created = GetParam().factory()();
        ASSERT_TRUE(created.ok());
        app = created.value();
        auto opened = app->GetDocuments().Open(kDrawing, true, std::nullopt);
        ASSERT_TRUE(opened.ok()) << opened.error().description.toStdString();
        document = opened.value();
    }

    // Name, layer and handle of what Select put into a new set, in enumeration order.
    QStringList select(std::vector<qint16> types, std::vector<QVariant> data) {
        auto set = document->AddSelectionSet("MODEL");
        EXPECT_TRUE(set.ok());
        EXPECT_TRUE(set.value()->Select(acad::kSelectAll, types, data).ok());
        QStringList found;
        for (int i = 0; i < set.value()->Count(); ++i) {
            const auto block = set.value()->Item(i).value();
            found << block->Name().value() + "|" + block->Layer().value() + "|" +
                         block->Handle().value();
        }
        return found;
    }
    std::shared_ptr<const acad::BlockReference> first(std::vector<qint16> types,
                                                      std::vector<QVariant> data) {
        auto set = document->AddSelectionSet("PAPER").value();
        set->Select(acad::kSelectAll, types, data);
        return set->Count() > 0 ? set->Item(0).value() : nullptr;
    }

    std::shared_ptr<acad::Application> app;
    std::shared_ptr<acad::Document> document;
};

TEST_P(AutomationContract, SpacesEnumerateInFileOrder) {
    EXPECT_EQ(select({0, 67}, {"INSERT", 0}),
              (QStringList{"TITLE|Border|2A", "Pump|Equip|30", "pump|equip|31"}));
    EXPECT_EQ(select({0, 67}, {"INSERT", 1}), QStringList{"TITLE|0|40"});
}

TEST_P(AutomationContract, NameAndLayerFiltersIgnoreLetterCase) {
    EXPECT_EQ(select({0, 67, 2}, {"INSERT", 0, "PUMP"}),
              (QStringList{"Pump|Equip|30", "pump|equip|31"}));
    EXPECT_EQ(select({0, 67, 8}, {"INSERT", 0, "border"}), QStringList{"TITLE|Border|2A"});
    EXPECT_EQ(select({0, 67, 2, 8}, {"INSERT", 1, "title", "0"}), QStringList{"TITLE|0|40"});
    EXPECT_TRUE(select({0, 67, 2}, {"INSERT", 0, "TITL"}).isEmpty()) << "no part names";
    EXPECT_TRUE(select({0, 67, 2}, {"INSERT", 0, ""}).isEmpty());
}

TEST_P(AutomationContract, AttributesInOrderWithTheirHandles) {
    const auto title = first({0, 67, 8}, {"INSERT", 0, "Border"});
    ASSERT_TRUE(title);
    EXPECT_TRUE(title->HasAttributes().value());
    const acad::AttributeArray attributes = title->GetAttributes().value();
    QStringList seen;
    for (const auto& a : attributes) {
        seen << a->TagString().value() + "=" + a->TextString().value() + "@" + a->Handle().value();
    }
    EXPECT_EQ(seen, (QStringList{"DWGNO=A-101@2B", "REV=C@2C", "dwgno=second@2D"}));

    const auto plain = first({0, 67, 8}, {"INSERT", 0, "Equip"});
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->Name().value(), "Pump");
    EXPECT_FALSE(plain->HasAttributes().value());
}

TEST_P(AutomationContract, PropertiesAndTheirDefaults) {
    const auto title = first({0, 67, 8}, {"INSERT", 0, "Border"});
    ASSERT_TRUE(title);
    EXPECT_EQ(title->ObjectID().value(), 0x2A);
    EXPECT_EQ(title->OwnerID().value(), 0x1F);
    EXPECT_EQ(title->Objectname().value(), "AcDbBlockReference");
    EXPECT_EQ(title->Color().value(), 256);
    EXPECT_EQ(title->Linetype().value(), "ByLayer");
    EXPECT_EQ(title->Lineweight().value(), -1);
    EXPECT_TRUE(title->Visible().value());
    EXPECT_FALSE(title->HasExtensionDictionary().value());
    EXPECT_DOUBLE_EQ(title->XScaleFactor().value(), 2);
    EXPECT_DOUBLE_EQ(title->YScaleFactor().value(), 3);
    EXPECT_DOUBLE_EQ(title->ZScaleFactor().value(), 1);
    EXPECT_DOUBLE_EQ(title->LinetypeScale().value(), 1);
    EXPECT_NEAR(title->Rotation().value(), std::numbers::pi / 2, 1e-12);
    const acad::Point3 p = title->InsertionPoint().value();
    EXPECT_DOUBLE_EQ(p.x, 10.5);
    EXPECT_DOUBLE_EQ(p.y, 20.25);
    EXPECT_DOUBLE_EQ(p.z, 0);
}

TEST_P(AutomationContract, DocumentsOpenCountAndClose) {
    acad::Documents& documents = app->GetDocuments();
    EXPECT_EQ(documents.Count().value(), 1);
    EXPECT_FALSE(documents.Open(kMissing, true, std::nullopt).ok());
    auto second = documents.Open(kDrawing, std::nullopt, QStringLiteral("ignored"));
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(documents.Count().value(), 2);
    EXPECT_TRUE(documents.Item(1).ok());
    EXPECT_FALSE(documents.Item(2).ok());
    EXPECT_TRUE(document->Close(false).ok());
    EXPECT_EQ(documents.Count().value(), 1);
    EXPECT_TRUE(second.value()->Close(false).ok());
    EXPECT_EQ(documents.Count().value(), 0);
    EXPECT_TRUE(app->Quit().ok());
}

TEST_P(AutomationContract, FilterArraysOfDifferentLengthsFail) {
    auto set = document->AddSelectionSet("MODEL").value();
    EXPECT_FALSE(set->Select(acad::kSelectAll, {0, 67}, {"INSERT"}).ok());
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
    BothImplementations, AutomationContract,
    ::testing::Values(Provider{"MemoryModel", [] { return contractModel()->factory(); }},
                      Provider{"DrawingReader",
                               [] { return drawing::readerApplicationFactory(); }}),
    [](const auto& instance) { return std::string(instance.param.name); });

}  // namespace
