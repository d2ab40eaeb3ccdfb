// SPDX-License-Identifier: GPL-3.0-or-later
// The help window on the help file the program ships: headings to jump to, finding, the
// editor link, and a help file that is missing.

#include "help/help_window.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>

#include "help/help_text.h"
#include "platform/scratch_folder.h"
#include "support/gui/fake_platform.h"
#include "support/qt_printers.h"

namespace {

TEST(HelpText, HeadingsAreUnderlinedLinesAndTheTextIsNotMarkup) {
    const HelpText help = helpTextFrom(QStringLiteral(
        "TITLE OF THE FILE\r\n=================\r\n\r\nSee <b>this</b> & that.\r\n\r\n"
        "1. FIRST QUESTION?\r\n------------------\r\n\r\n  indented answer\r\n\r\n"
        "----\r\n"       // a rule under a blank line is text
        "x\r\n----\r\n"  // a rule four times the line's length is still an underline
        "2. A LONG QUESTION WITH A SHORT RULE\n---\n"));
    ASSERT_EQ(help.headings.size(), 2);
    EXPECT_EQ(help.headings[0].title, "1. FIRST QUESTION?");
    EXPECT_EQ(help.headings[1].title, "x");
    EXPECT_TRUE(help.html.contains("<h2 id=\"heading-0\">TITLE OF THE FILE</h2>"));
    EXPECT_TRUE(help.html.contains("See &lt;b&gt;this&lt;/b&gt; &amp; that."));
    EXPECT_TRUE(help.html.contains("  indented answer"));
    EXPECT_TRUE(help.html.contains("2. A LONG QUESTION WITH A SHORT RULE\n---"))
        << "a rule shorter than half its line is text";
    EXPECT_EQ(help.html.count("<h3"), 2);
}

class HelpWindowTest : public ::testing::Test {
protected:
    HelpWindow& open(const QString& path) {
        window = std::make_unique<HelpWindow>(fakes.platform(), path);
        window->show();
        return *window;
    }
    static QString shippedHelp() { return QStringLiteral(QUILLON_SOURCE_DIR "/about/faq.fil"); }

    fake::FakePlatform fakes;
    std::unique_ptr<HelpWindow> window;
};

TEST_F(HelpWindowTest, TheShippedHelpHasItsQuestionsAndFindsText) {
    HelpWindow& w = open(shippedHelp());
    ASSERT_GE(w.headingList->count(), 9);
    EXPECT_EQ(w.headingList->item(0)->text(), "1. WHAT DOES QUILLON DO?");
    EXPECT_EQ(w.headingList->item(2)->text(), "3. HOW DO I WRITE A DRAWING LIST FILE (.dlf)?");

    // Choosing a question scrolls the text to it.
    w.helpText->verticalScrollBar()->setValue(0);
    w.headingList->setCurrentRow(8);
    EXPECT_GT(w.helpText->verticalScrollBar()->value(), 0);

    // Enter marks every match, ignoring letter case, and steps to the next one each time.
    QTest::keyClicks(w.findEdit, "drawing list");
    QTest::keyClick(w.findEdit, Qt::Key_Return);
    EXPECT_GT(w.matchCount(), 3);
    EXPECT_EQ(w.findStatusLabel->text(), QString::number(w.matchCount()) + " found");
    EXPECT_EQ(w.helpText->textCursor().selectedText().toLower(), "drawing list");
    const int first = w.helpText->textCursor().position();
    QTest::keyClick(w.findEdit, Qt::Key_Return);
    EXPECT_GT(w.helpText->textCursor().position(), first);
    for (int i = 0; i < w.matchCount(); ++i) QTest::keyClick(w.findEdit, Qt::Key_Return);
    EXPECT_GT(w.helpText->textCursor().position(), 0) << "after the last match, the first";

    w.findEdit->setText("no such words in the help");
    QTest::keyClick(w.findEdit, Qt::Key_Return);
    EXPECT_EQ(w.matchCount(), 0);
    EXPECT_EQ(w.findStatusLabel->text(), "Not found");
}

TEST_F(HelpWindowTest, TheEditorLinkOpensTheFileAndSaysWhenNoEditorCould) {
    HelpWindow& w = open(shippedHelp());
    emit w.editorLink->linkActivated("editor");
    using Call = fake::RecordingShell::Call;
    ASSERT_EQ(fakes.shell.calls.size(), 1u);
    EXPECT_EQ(fakes.shell.calls[0], (Call{Call::Kind::TextEditor, shippedHelp()}));
    EXPECT_TRUE(fakes.dialogs.shown().empty());

    fakes.shell.succeeds = false;
    emit w.editorLink->linkActivated("editor");
    ASSERT_EQ(fakes.dialogs.shown().size(), 1u);
    EXPECT_TRUE(fakes.dialogs.shown()[0].text().contains(shippedHelp()));
}

TEST_F(HelpWindowTest, AHelpFileThatCannotBeReadIsSaidInTheWindow) {
    ScratchFolder scratch;
    QFile big(scratch.path("big.fil"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(5 * 1024 * 1024));
    big.close();
    for (const QString& path :
         {scratch.path("gone.fil"), scratch.path(), scratch.path("big.fil")}) {
        HelpWindow& w = open(path);
        EXPECT_TRUE(
            w.helpText->toPlainText().startsWith("The help file " + path + " could not be read: "))
            << path.toStdString();
        EXPECT_FALSE(w.findEdit->isEnabled());
        EXPECT_EQ(w.headingList->count(), 0);
    }
}

// QUILLON_SCREENSHOT_DIR=/tmp/shots test_help --gtest_filter=*Screenshot* saves the window,
// showing a find, as help_window.png.
TEST_F(HelpWindowTest, Screenshot) {
    const QString folder = qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR not set";
    HelpWindow& w = open(shippedHelp());
    w.resize(1000, 620);
    w.headingList->setCurrentRow(2);
    w.findEdit->setText("wildcard");
    w.findNext();
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.grab().save(QDir(folder).filePath("help_window.png")));
}

}  // namespace
