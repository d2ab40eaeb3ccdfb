// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/gui/fake_platform.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

using platform::DialogButton;
using platform::MessageButtons;
using platform::MessageIcon;

TEST(ScriptedDialogs, AnswersInOrderAndRecordsEveryBox) {
    fake::ScriptedDialogs dialogs;
    dialogs.answerFolder("/data");
    dialogs.answerInput("/data/*.dwg");
    dialogs.answerButton(DialogButton::No);
    dialogs.answerSaveFile("/out/file.txt");

    platform::Dialogs& ui = dialogs;
    EXPECT_EQ(ui.pickFolder({"Select a directory", "/start"}), "/data");
    EXPECT_EQ(ui.inputBox("File Specification", "Add", "/data/"), QString("/data/*.dwg"));
    EXPECT_EQ(ui.messageBox("Quillon", "Done.", MessageIcon::Information), DialogButton::OK);
    EXPECT_EQ(ui.messageBox("Quillon", "Clear?", MessageIcon::Question, MessageButtons::YesNo,
                            DialogButton::No),
              DialogButton::No);
    EXPECT_EQ(ui.saveFile({"Save Text File", "/out", "Text Files (*.txt)|*.txt", "file.txt"}),
              "/out/file.txt");
    EXPECT_EQ(dialogs.pendingAnswers(), 0u);

    const auto& shown = dialogs.shown();
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_EQ(shown[0].kind, fake::ShownBox::Kind::Folder);
    EXPECT_EQ(shown[0].folder.startFolder, "/start");
    EXPECT_EQ(shown[1].input.defaultText, "/data/");
    EXPECT_EQ(shown[3].message.preset, DialogButton::No);
    EXPECT_EQ(shown[3].message.buttons, MessageButtons::YesNo);
    EXPECT_EQ(shown[4].file.fileName, "file.txt");
    EXPECT_EQ(dialogs.messageTexts(), QStringList({"Done.", "Clear?"}));
}

TEST(ScriptedDialogs, FailsTheTestWhenTheScriptDoesNotFit) {
    // No answer queued: the box is cancelled and the test fails.
    EXPECT_NONFATAL_FAILURE(
        {
            fake::ScriptedDialogs dialogs;
            EXPECT_EQ(
                dialogs.messageBox("Q", "Clear?", MessageIcon::Question, MessageButtons::YesNo),
                DialogButton::No);
        },
        "No answer queued for the message box");
    // An answer of another kind.
    EXPECT_NONFATAL_FAILURE(
        {
            fake::ScriptedDialogs dialogs;
            dialogs.answerFolder("/x");
            EXPECT_EQ(dialogs.inputBox("p", "c"), std::nullopt);
            dialogs.setStrict(false);
        },
        "the next answer is for a folder picker");
    // A button the box does not offer.
    EXPECT_NONFATAL_FAILURE(
        {
            fake::ScriptedDialogs dialogs;
            dialogs.answerButton(DialogButton::OK);
            EXPECT_EQ(dialogs.messageBox("Q", "Sure?", MessageIcon::Question,
                                         MessageButtons::YesNoCancel),
                      DialogButton::Cancel);
        },
        "does not offer");
    // A queued answer that no box took.
    EXPECT_NONFATAL_FAILURE(
        {
            fake::ScriptedDialogs dialogs;
            dialogs.answerOpenFile("/list.dlf");
        },
        "left unused");

    fake::ScriptedDialogs lenient;
    lenient.setStrict(false);
    EXPECT_EQ(lenient.openFile({"Open Drawing List File", "/", "DLF Files (*.dlf)|*.dlf", ""}), "");
    EXPECT_EQ(
        lenient.messageBox("Q", "Retry?", MessageIcon::Critical, MessageButtons::AbortRetryIgnore),
        DialogButton::Abort);
}

TEST(FakePlatform, BundlesTheDoubles) {
    fake::FakePlatform fakes;
    platform::Platform services = fakes.platform();
    {
        platform::Hourglass hourglass(services.ui);
        services.ui.beep();
        services.ui.processEvents();
        EXPECT_EQ(fakes.ui.hourglassDepth, 1);
    }
    EXPECT_EQ(fakes.ui.hourglassDepth, 0);
    EXPECT_EQ(fakes.ui.beeps, 1);
    EXPECT_EQ(fakes.ui.processEventsCalls, 1);

    services.clipboard.clear();
    services.clipboard.setText("abc");
    EXPECT_EQ(fakes.clipboard.contents, "abc");
    EXPECT_EQ(fakes.clipboard.clears, 1);

    EXPECT_EQ(services.settings.get("Options", "SFile", "def"), "def");
    services.settings.set("Options", "SFile", "1");
    services.settings.set("FSpec", "Count", "0");
    services.settings.remove("Options");
    EXPECT_EQ(services.settings.get("Options", "SFile", "def"), "def");
    EXPECT_EQ(services.settings.get("FSpec", "Count"), "0");
    EXPECT_EQ(fakes.settings.writes, 3);

    fakes.shell.succeeds = false;
    EXPECT_FALSE(services.shell.openDocument("/out/a.xlsx"));
    EXPECT_EQ(
        fakes.shell.calls.front(),
        (fake::RecordingShell::Call{fake::RecordingShell::Call::Kind::Document, "/out/a.xlsx"}));

    const QDateTime start = services.clock.now();
    fakes.clock.advance(1500);
    EXPECT_EQ(start.msecsTo(services.clock.now()), 1500);

    fake::ManualClock other;
    fake::FakePlatform withClock(&other);
    other.advance(60000);
    EXPECT_EQ(withClock.platform().clock.now(), other.current);
}

}  // namespace
