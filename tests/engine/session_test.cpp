// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine_fixture.h"

namespace {

using fake::Call;

TEST_F(EngineTest, OpenAutoCadPreparesAHiddenApplication) {
    EXPECT_EQ(session.start(), 1);
    EXPECT_EQ(model->created, 1);
    EXPECT_EQ(model->preferencesSet, 5);
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(EngineTest, OpenAutoCadFailureShowsTheErrorBox) {
    model->failOn(Call::Create);
    EXPECT_EQ(session.start(), -1);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].caption, "Error opening AutoCAD");
    // What happened here, in the words of whatever failed: no other program is involved.
    EXPECT_EQ(ui.errors[0].text,
              "The drawing reader session could not be created.\r\n"
              "ActiveX component can't create object")
        << "the memory model's own reason";
    EXPECT_EQ(session.openDrawing("a.dwg"), -1);
    EXPECT_EQ(session.openError(), "no drawing reader session is open");

    DrawingSession withoutReader({}, ui);
    EXPECT_EQ(withoutReader.start(), -1);
    ASSERT_EQ(ui.errors.size(), 2u);
    EXPECT_EQ(ui.errors[1].text,
              "The drawing reader session could not be created.\r\n"
              "no drawing reader is built into this program");
    EXPECT_EQ(session.openDrawing("a.dwg"), -1);
}

TEST_F(EngineTest, OpenDrawingBeforeOpenAutoCadOpensNothing) {
    model->addDrawing("a.dwg", {});
    EXPECT_EQ(session.openDrawing("a.dwg", true), -1);
    EXPECT_TRUE(model->opens.empty());
    EXPECT_EQ(session.closeDrawing(), -1) << "no document to close";
}

TEST_F(EngineTest, OpenDrawingUsesTheNamedReadOnlyFormWithoutPassword) {
    model->addDrawing("a.dwg", {});
    ASSERT_EQ(session.start(), 1);
    EXPECT_EQ(session.openDrawing("a.dwg", true, "   "), 1) << "blanks only are no password";
    ASSERT_EQ(model->opens.size(), 1u);
    EXPECT_EQ(model->opens[0].readOnly, std::optional<bool>(true));
    EXPECT_FALSE(model->opens[0].password.has_value());
    EXPECT_EQ(session.closeDrawing(), 1);
    EXPECT_EQ(model->closes, std::vector<bool>{false}) << "closed without saving";
    EXPECT_EQ(model->openDocuments, 0);
}

TEST_F(EngineTest, DrawingThatRefusesReadOnlyOpensWritableAndIsClosedWithoutSaving) {
    fake::MemDrawing drawing;
    drawing.refusesReadOnly = true;
    model->addDrawing("a.dwg", drawing);
    ASSERT_EQ(session.start(), 1);
    EXPECT_EQ(session.openDrawing("a.dwg", true), 1);
    ASSERT_EQ(model->opens.size(), 2u);
    EXPECT_FALSE(model->opens[1].readOnly.has_value()) << "second try: the path alone";
    EXPECT_EQ(session.closeDrawing(), 1);
    EXPECT_EQ(model->closes, std::vector<bool>{false});
}

TEST_F(EngineTest, PasswordDrawingTriesPositionalThenNamedPassword) {
    fake::MemDrawing drawing;
    drawing.password = "pw";
    model->addDrawing("a.dwg", drawing);
    ASSERT_EQ(session.start(), 1);
    model->failOn(Call::OpenPositional);
    EXPECT_EQ(session.openDrawing("a.dwg", true, "pw"), 1);
    ASSERT_EQ(model->opens.size(), 2u);
    EXPECT_EQ(model->opens[0].readOnly, std::optional<bool>(true));
    EXPECT_EQ(model->opens[0].password, std::optional<QString>("pw"));
    EXPECT_FALSE(model->opens[1].readOnly.has_value());
    EXPECT_EQ(model->opens[1].password, std::optional<QString>("pw"));
}

TEST_F(EngineTest, OpenDrawingReportsFailureWhenBothFormsFail) {
    ASSERT_EQ(session.start(), 1);
    EXPECT_EQ(session.openDrawing("missing.dwg", true), -2);
    EXPECT_EQ(model->opens.size(), 2u);
    EXPECT_EQ(session.closeDrawing(), -1) << "a failed open leaves no document behind";
    fake::MemDrawing locked;
    locked.password = "right";
    model->addDrawing("locked.dwg", locked);
    EXPECT_EQ(session.openDrawing("locked.dwg", true, "wrong"), -2);
}

TEST_F(EngineTest, CloseDrawingReportsAFailedClose) {
    model->addDrawing("a.dwg", {});
    ASSERT_EQ(session.start(), 1);
    ASSERT_EQ(session.openDrawing("a.dwg", true), 1);
    model->failOn(Call::Close);
    EXPECT_EQ(session.closeDrawing(), -1);
}

TEST_F(EngineTest, CloseAutoCadClosesEveryDocumentAndEndsTheApplication) {
    model->addDrawing("a.dwg", {});
    model->addDrawing("b.dwg", {});
    ASSERT_EQ(session.start(), 1);
    ASSERT_EQ(session.openDrawing("a.dwg", true), 1);
    ASSERT_EQ(session.openDrawing("b.dwg", true), 1);
    ASSERT_EQ(session.openDrawing("a.dwg", true), 1);
    EXPECT_EQ(model->openDocuments, 3) << "replacing the document leaves the old one open";
    session.stop();
    EXPECT_EQ(model->openDocuments, 0);
    EXPECT_EQ(model->closes, (std::vector<bool>{false, false, false}));
    EXPECT_EQ(model->quits, 1);
    EXPECT_EQ(session.openDrawing("a.dwg"), -1) << "no application after stop";
}

TEST_F(EngineTest, SessionEndsItsApplicationWhenDiscarded) {
    model->addDrawing("a.dwg", {});
    {
        DrawingSession scoped(model->factory(), ui);
        ASSERT_EQ(scoped.start(), 1);
        ASSERT_EQ(scoped.openDrawing("a.dwg", true), 1);
    }
    EXPECT_EQ(model->quits, 1);
    EXPECT_EQ(model->openDocuments, 0);
}

}  // namespace
