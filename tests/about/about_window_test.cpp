// SPDX-License-Identifier: GPL-3.0-or-later
// The about window: its text with the build's version, the links and their status texts.

#include "about/about_window.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "about/link_label.h"
#include "platform/scratch_folder.h"
#include "support/gui/fake_platform.h"
#include "support/gui/layout_faults.h"
#include "support/qt_printers.h"

namespace {

using Call = fake::RecordingShell::Call;

class AboutWindowTest : public ::testing::Test {
protected:
    AboutWindow& open(AboutLinks links = {"maker@example.org", "https://example.org/quillon"}) {
        window = std::make_unique<AboutWindow>(fakes.platform(), scratch.path(), links);
        return *window;
    }

    ScratchFolder scratch;
    fake::FakePlatform fakes;
    std::unique_ptr<AboutWindow> window;
};

TEST_F(AboutWindowTest, TheTextStartsWithTitleAndTheBuildsVersion) {
    open();
    const QString text = window->aboutTextBox->toPlainText();
    EXPECT_EQ(text.section('\n', 0, 0), QStringLiteral("Quillon " QUILLON_EXPECTED_VERSION));
    EXPECT_TRUE(AboutWindow::aboutText(1, 2, {}).startsWith("Quillon 1.2\r\n\r\n"));
    EXPECT_TRUE(text.contains("GPL-3.0-or-later"));
    for (const char* output :
         {"DWG", "DXF", "text file", "the Clipboard", ".xlsx", "SQLite", ".docx"}) {
        EXPECT_TRUE(text.contains(QLatin1String(output))) << output;
    }
    // The releases the reader reads, and not "R2.10 and above": R2.2 and R2.5 are not read.
    EXPECT_TRUE(text.contains("R2.10, R2.6, R9 to R14 and 2000 to 2018"));
    EXPECT_FALSE(text.contains("R2.10 and above"));
    EXPECT_TRUE(text.contains("maker@example.org"));
    EXPECT_TRUE(window->aboutTextBox->isReadOnly());
}

TEST_F(AboutWindowTest, EachLinkLeavesItsTextInTheStatusLine) {
    open();
    struct Case {
        LinkLabel* AboutWindow::*link;
        QString status;
        Call call;
    };
    const Case cases[] = {
        {&AboutWindow::emailLink,
         "Send e-mail message to: maker@example.org",
         {Call::Kind::Url, "mailto:maker@example.org"}},
        {&AboutWindow::webPageLink,
         "Go to page: https://example.org/quillon",
         {Call::Kind::Url, "https://example.org/quillon"}},
        {&AboutWindow::faqLink,
         "Open file: " + scratch.path("faq.fil"),
         {Call::Kind::TextEditor, scratch.path("faq.fil")}},
    };
    window->show();
    for (const Case& c : cases) {
        LinkLabel* link = (*window).*c.link;
        SCOPED_TRACE(link->text().toStdString());
        EXPECT_TRUE(link->isVisible());
        fakes.shell.calls.clear();
        QTest::mouseClick(link, Qt::LeftButton);
        EXPECT_EQ(window->statusLabel->text(), c.status);
        ASSERT_EQ(fakes.shell.calls.size(), 1u);
        EXPECT_EQ(fakes.shell.calls[0], c.call);
    }
    EXPECT_TRUE(fakes.dialogs.messages().empty());

    // Without a browser or mail program the user is told so.
    fakes.shell.succeeds = false;
    QTest::mouseClick(window->webPageLink, Qt::LeftButton);
    QTest::mouseClick(window->emailLink, Qt::LeftButton);
    ASSERT_EQ(fakes.dialogs.messageTexts(), QStringList({"Could not find associated browser.",
                                                         "Could not find associated browser."}));
    EXPECT_EQ(fakes.dialogs.messages()[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_EQ(fakes.dialogs.messages()[0].caption, "Quillon");
}

TEST_F(AboutWindowTest, ALinkWithoutAnAddressIsNotShown) {
    open({"", ""});
    window->show();
    EXPECT_FALSE(window->emailLink->isVisible());
    EXPECT_FALSE(window->webPageLink->isVisible());
    EXPECT_TRUE(window->faqLink->isVisible());
    EXPECT_FALSE(window->aboutTextBox->toPlainText().contains("e-mail to"));
}

TEST_F(AboutWindowTest, LinksTurnRedUnderThePointer) {
    open();
    window->show();
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(window->webPageLink, &enter);
    EXPECT_TRUE(window->webPageLink->isHighlighted());
    EXPECT_EQ(window->webPageLink->palette().color(QPalette::WindowText), QColor(Qt::red));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(window->webPageLink, &leave);
    EXPECT_FALSE(window->webPageLink->isHighlighted());
    EXPECT_EQ(window->webPageLink->palette().color(QPalette::WindowText), QColor(Qt::blue));
}

TEST_F(AboutWindowTest, F1ShowsTheHelpAndEscapeOrOkClose) {
    open();
    window->show();
    QTest::keyClick(window->aboutTextBox, Qt::Key_F1);
    const QWidget* help = window->findChild<QWidget*>("helpWindow");
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(fakes.shell.calls.empty()) << "no editor opens by itself";
    QTest::keyClick(window->aboutTextBox, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());

    window->show();
    QTest::mouseClick(window->okButton, Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(AboutWindowTest, EveryCaptionFits) {
    open();
    QFont large = window->font();
    large.setPointSizeF(large.pointSizeF() * 1.6);
    window->setFont(large);
    window->show();
    QApplication::processEvents();
    EXPECT_EQ(fake::layoutFaults(*window), QStringList());
}

}  // namespace

// QUILLON_SCREENSHOT_DIR=/tmp/shots test_about --gtest_filter=*Screenshot* saves the window as
// about_window.png, to look at.
TEST_F(AboutWindowTest, Screenshot) {
    const QString folder = qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR not set";
    open();
    window->show();
    window->openWebPage();
    QApplication::processEvents();
    EXPECT_TRUE(window->grab().save(QDir(folder).filePath("about_window.png")));
}
