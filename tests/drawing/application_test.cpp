// SPDX-License-Identifier: GPL-3.0-or-later
// The automation objects of the reader session: documents, selection sets and their filters.

#include <gtest/gtest.h>

#include "drawing/reader_application.h"
#include "drawing/reader_errors.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

TEST(ReaderApplication, DocumentsOpenCloseAndQuit) {
    auto started = readerApplicationFactory()();
    ASSERT_TRUE(started.ok());
    acad::Application& app = *started.value();
    EXPECT_TRUE(app.SetVisible(false).ok());
    EXPECT_TRUE(app.SetWindowState(2).ok());
    EXPECT_TRUE(app.SetXrefDemandLoad(0).ok());
    EXPECT_TRUE(app.SetEnableStartupDialog(false).ok());
    EXPECT_TRUE(app.SetShowWarningMessages(false).ok());

    acad::Documents& documents = app.GetDocuments();
    // Every call form; the password is accepted and ignored.
    auto first = documents.Open(fixturePath(u"layouts_R2018.dxf"_qs), true, std::nullopt);
    auto second = documents.Open(fixturePath(u"layouts_R12.dxf"_qs), std::nullopt, u"secret"_qs);
    auto third = documents.Open(fixturePath(u"utf8_R2018.dxf"_qs), std::nullopt, std::nullopt);
    ASSERT_TRUE(first.ok() && second.ok() && third.ok());
    EXPECT_EQ(documents.Count().value(), 3);
    EXPECT_EQ(documents.Item(1).value(), second.value());  // 0-based
    EXPECT_FALSE(documents.Item(3).ok());
    EXPECT_EQ(documents.Item(-1).error().number, errors::kBadIndex);

    auto failed = documents.Open(fixturePath(u"make_fixtures.py"_qs), true, std::nullopt);
    ASSERT_FALSE(failed.ok());
    EXPECT_EQ(failed.error().number, errors::kNotADrawing);
    EXPECT_EQ(documents.Count().value(), 3);

    // Close takes the document out; a closed document refuses further work.
    ASSERT_TRUE(second.value()->Close(false).ok());
    EXPECT_EQ(documents.Count().value(), 2);
    EXPECT_EQ(documents.Item(1).value(), third.value());
    EXPECT_EQ(second.value()->AddSelectionSet(u"x"_qs).error().number, errors::kDocumentClosed);

    // A selection set outlives its document's closing: it holds what it selected.
    auto set = first.value()->AddSelectionSet(u"SS1"_qs).value();
    ASSERT_TRUE(set->Select(acad::kSelectAll, {0}, {"INSERT"}).ok());
    ASSERT_TRUE(app.Quit().ok());
    EXPECT_EQ(documents.Count().value(), 0);
    ASSERT_EQ(set->Count(), 10);
    EXPECT_EQ(set->Item(9).value()->Name().value(), "TAGBLOCK");
}

TEST(ReaderApplication, SelectionFilters) {
    auto app = createReaderApplication();
    auto document = app->GetDocuments().Open(fixturePath(u"layouts_R2018.dxf"_qs), true, {});
    ASSERT_TRUE(document.ok());
    auto set = document.value()->AddSelectionSet(u"SS"_qs).value();
    const auto names = [&] {
        QStringList out;
        for (int i = 0; i < set->Count(); ++i)
            out << set->Item(i).value()->Name().value() + u'@' +
                       set->Item(i).value()->Handle().value();
        return out;
    };

    // Names and layers compare ignoring letter case; every group must match.
    ASSERT_TRUE(set->Select(5, {0, 2}, {"insert", "tagblock"}).ok());
    EXPECT_EQ(names().size(), 5);
    ASSERT_TRUE(set->Select(5, {0, 67, 2, 8}, {"INSERT", 0, "Plain", "FRAME"}).ok());
    EXPECT_EQ(names(), QStringList{u"PLAIN@5C"_qs});
    ASSERT_TRUE(set->Select(5, {0, 67, 8}, {"INSERT", u"1"_qs, "frame"}).ok());
    EXPECT_EQ(names(), QStringList{u"PLAIN@6D"_qs});
    ASSERT_TRUE(set->Select(5, {0, 2}, {"INSERT", "*U1"}).ok());
    EXPECT_EQ(names(), QStringList{u"*U1@62"_qs});
    // Wildcards are not interpreted; other entity types select nothing.
    ASSERT_TRUE(set->Select(5, {0, 2}, {"INSERT", "TAG*"}).ok());
    EXPECT_EQ(set->Count(), 0);
    ASSERT_TRUE(set->Select(5, {0}, {"LINE"}).ok());
    EXPECT_EQ(set->Count(), 0);
    EXPECT_FALSE(set->Item(0).ok());

    // What the engine never passes is an error, not a silently ignored filter.
    for (const auto& [types, data] :
         std::vector<std::pair<std::vector<qint16>, std::vector<QVariant>>>{
             {{0, 62}, {"INSERT", 1}},
             {{0, 67}, {"INSERT", 2}},
             {{0, 67}, {"INSERT", "paper"}},
             {{0, 8}, {"INSERT"}},
         }) {
        const auto status = set->Select(5, types, data);
        ASSERT_FALSE(status.ok());
        EXPECT_EQ(status.error().number, errors::kBadArgument);
    }
    EXPECT_FALSE(set->Select(1, {0}, {"INSERT"}).ok());
}

}  // namespace
}  // namespace drawing::test
