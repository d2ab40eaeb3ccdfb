// SPDX-License-Identifier: GPL-3.0-or-later
// The register window's layout: every caption whole at its smallest size and in a large font,
// the folder list growing with the window. With QUILLON_SCREENSHOT_DIR set, the window after a
// run is written there as register_window.png.

#include "register_window_fixture.h"
#include "support/gui/layout_faults.h"

namespace {

TEST_F(RegisterWindowTest, EveryCaptionFitsAndTheFolderListGrowsWithTheWindow) {
    for (const int points : {9, 16}) {
        SCOPED_TRACE(points);
        open();
        QFont font = window->font();
        font.setPointSize(points);
        window->setFont(font);
        QCoreApplication::processEvents();  // the layout takes the new font
        window->resize(window->minimumSizeHint());
        QCoreApplication::processEvents();
        EXPECT_EQ(fake::layoutFaults(*window), QStringList());

        const QSize list = window->folderList->size();
        window->resize(window->width() + 300, window->height() + 200);
        QCoreApplication::processEvents();
        EXPECT_EQ(fake::layoutFaults(*window), QStringList());
        EXPECT_GT(window->folderList->width(), list.width());
        EXPECT_GT(window->folderList->height(), list.height());
    }
}

TEST_F(RegisterWindowTest, Screenshot) {
    const QString folder = qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR not set";
    open();
    window->resize(900, 480);
    window->indexButton->click();
    waitForTheRun();
    EXPECT_TRUE(window->grab().save(QDir(folder).filePath("register_window.png")));
}

}  // namespace
