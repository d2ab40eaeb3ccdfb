// SPDX-License-Identifier: GPL-3.0-or-later
// The update window's layout: every caption whole, at the smallest size and in a large font,
// nothing on top of anything else, and the plan growing with the window.

#include <QCoreApplication>
#include <QDir>
#include <QFont>

#include "support/gui/layout_faults.h"
#include "update_window_fixture.h"

namespace {

TEST_F(UpdateWindowTest, EveryCaptionFitsAndThePlanGrowsWithTheWindow) {
    for (const int points : {9, 16}) {
        SCOPED_TRACE(points);
        open();
        QFont font = window->font();
        font.setPointSize(points);
        window->setFont(font);
        window->show();
        window->resize(window->minimumSizeHint());
        QCoreApplication::processEvents();
        EXPECT_EQ(fake::layoutFaults(*window), QStringList());

        auto* plan = control<QTableView>("planView");
        const QSize before = plan->size();
        window->resize(window->width() + 300, window->height() + 200);
        QCoreApplication::processEvents();
        EXPECT_EQ(fake::layoutFaults(*window), QStringList());
        EXPECT_GT(plan->width(), before.width());
        EXPECT_GT(plan->height(), before.height());
    }
}

// QUILLON_SCREENSHOT_DIR=/tmp/shots test_update --gtest_filter=*Screenshot* saves the window
// with a plan as update_window.png, to look at.
TEST_F(UpdateWindowTest, Screenshot) {
    const QString folder = qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR not set";
    open();
    window->show();
    window->resize(1000, 560);
    planCsv(
        "DRAWING_NAME,BLOCK_HANDLE,TITLE,REV\r\n"
        "cooling-water.dxf,63,New cooling title,C\r\n"
        "boiler-feed.dxf,5E,New boiler title,B\r\n"
        "gone.dxf,63,x,\r\n");
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->grab().save(QDir(folder).filePath("update_window.png")));
}

}  // namespace
