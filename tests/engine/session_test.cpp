// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine_fixture.h"

namespace {

using fake::Call;

TEST_F(EngineTest, StartFailureShowsTheErrorBoxAndReturnsTheReason) {
    model->failOn(Call::CreateReader);
    const core::Status started = session.start();
    ASSERT_FALSE(started.ok());
    EXPECT_EQ(started.error().description, "Memory model told to fail: reader creation");
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].caption, "Error opening AutoCAD");
    // What happened here, in the words of whatever failed: no other program is involved.
    EXPECT_EQ(ui.errors[0].text,
              "The drawing reader session could not be created.\r\n"
              "Memory model told to fail: reader creation")
        << "the memory model's own reason";
    const core::Status opened = session.openDrawing("a.dwg");
    ASSERT_FALSE(opened.ok());
    EXPECT_EQ(opened.error().description, "no drawing reader session is open");

    DrawingSession withoutReader({}, ui);
    EXPECT_FALSE(withoutReader.start().ok());
    ASSERT_EQ(ui.errors.size(), 2u);
    EXPECT_EQ(ui.errors[1].text,
              "The drawing reader session could not be created.\r\n"
              "no drawing reader is built into this program");
    EXPECT_FALSE(withoutReader.openDrawing("a.dwg").ok());
}

// The drawing is opened once, with the password given or none; a password of blanks only is
// no password.
TEST_F(EngineTest, OpenDrawingPassesThePasswordOnce) {
    struct Case {
        const char* what;
        QString drawingPassword;
        QString given;
        bool opens;
        QString passed;
        QString reason;
    };
    const Case cases[] = {
        {"no password", "", "", true, "", ""},
        {"blanks only are no password", "", "   ", true, "", ""},
        {"the right password", "pw", "pw", true, "pw", ""},
        {"a wrong password", "right", "wrong", false, "wrong", "Wrong password"},
        {"a missing password", "right", "", false, "", "Wrong password"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake::MemDrawing drawing;
        drawing.password = c.drawingPassword;
        model->addDrawing("a.dwg", drawing);
        model->opens.clear();
        ASSERT_TRUE(session.start().ok());
        const core::Status opened = session.openDrawing("a.dwg", c.given);
        EXPECT_EQ(opened.ok(), c.opens);
        EXPECT_EQ(opened ? QString() : opened.error().description, c.reason);
        EXPECT_EQ(model->opens, (std::vector<fake::OpenCall>{{"a.dwg", c.passed}}));
        EXPECT_EQ(session.drawing() != nullptr, c.opens)
            << "a failed open leaves no drawing behind";
        session.stop();
        EXPECT_EQ(model->liveDrawings(), 0);
    }
}

TEST_F(EngineTest, OpenDrawingFailureCarriesTheReadersReason) {
    ASSERT_TRUE(session.start().ok());
    const core::Status missing = session.openDrawing("missing.dwg");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().description, "Drawing not found");
    model->addDrawing("a.dwg", {});
    model->failOn(Call::Open);
    const core::Status refused = session.openDrawing("a.dwg");
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().description, "Memory model told to fail: open");
    EXPECT_EQ(model->opens.size(), 2u) << "no second try";
}

TEST_F(EngineTest, EachDrawingIsReleasedWhenReplacedClosedOrStopped) {
    model->addDrawing("a.dwg", {});
    model->addDrawing("b.dwg", {});
    EXPECT_FALSE(session.openDrawing("a.dwg").ok()) << "no reader before start";
    EXPECT_TRUE(model->opens.empty());
    ASSERT_TRUE(session.start().ok());
    EXPECT_EQ(model->created, 1);
    EXPECT_TRUE(ui.errors.empty()) << "a start that works shows nothing";
    ASSERT_TRUE(session.openDrawing("a.dwg").ok());
    ASSERT_TRUE(session.openDrawing("b.dwg").ok());
    EXPECT_EQ(model->liveDrawings(), 1) << "opening another drawing lets go of the last";
    session.closeDrawing();
    EXPECT_EQ(model->liveDrawings(), 0);
    ASSERT_TRUE(session.openDrawing("a.dwg").ok());
    session.stop();
    EXPECT_EQ(model->liveDrawings(), 0);
    EXPECT_FALSE(session.openDrawing("a.dwg").ok()) << "no reader after stop";
    {
        DrawingSession discarded(model->factory(), ui);
        ASSERT_TRUE(discarded.start().ok());
        ASSERT_TRUE(discarded.openDrawing("a.dwg").ok());
        EXPECT_EQ(model->liveDrawings(), 1);
    }
    EXPECT_EQ(model->liveDrawings(), 0) << "a session lets go of its drawing when discarded";
}

}  // namespace
