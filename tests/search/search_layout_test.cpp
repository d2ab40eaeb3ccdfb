// SPDX-License-Identifier: GPL-3.0-or-later
// The search window's layout: every caption whole, at the smallest size and in a large font,
// nothing on top of anything else, and the results growing with the window. With
// QUILLON_SCREENSHOT_DIR set, the window after a run is written there as search_window.png.

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFont>
#include <QPixmap>

#include "search/open_search_window.h"
#include "search_window_fixture.h"
#include "support/gui/layout_faults.h"

namespace {

using fake::layoutFaults;

TEST_F(SearchWindowTest, EveryCaptionFitsAndTheResultsGrowWithTheWindow) {
    for (const int points : {9, 16}) {
        SCOPED_TRACE(points);
        open();
        QFont font = window->font();
        font.setPointSize(points);
        window->setFont(font);
        window->show();
        window->resize(window->minimumSizeHint());
        QCoreApplication::processEvents();
        EXPECT_EQ(layoutFaults(*window), QStringList());

        const QSize results = window->resultsEdit->size();
        window->resize(window->width() + 300, window->height() + 200);
        QCoreApplication::processEvents();
        EXPECT_EQ(layoutFaults(*window), QStringList());
        EXPECT_GT(window->resultsEdit->width(), results.width());
        EXPECT_GT(window->resultsEdit->height(), results.height());
    }
}

// The window opens over the middle of the one it came from, and stays on the screen when that
// one sits at the screen's edge.
TEST_F(SearchWindowTest, OpensCentredOnTheWindowItCameFrom) {
    QWidget owner;
    const QRect screen = owner.screen()->availableGeometry();
    owner.resize(screen.size() * 3 / 4);
    for (const QPoint at : {screen.topLeft() + QPoint(screen.width() / 8, screen.height() / 8),
                            screen.bottomRight()}) {
        owner.move(at);
        owner.show();
        QWidget* search = openSearchWindow(
            fakes.platform(), model->factory(), programFolder(), [](const QString&) {}, &owner);
        const QRect placed = search->frameGeometry();
        if (at != screen.bottomRight()) {
            // A window frame of a few pixels may come after the placing.
            EXPECT_LE((placed.center() - owner.frameGeometry().center()).manhattanLength(), 8);
        }
        EXPECT_TRUE(screen.contains(placed.topLeft()));
        search->close();
        delete search;
    }
}

TEST_F(SearchWindowTest, Screenshot) {
    const QByteArray folder = qgetenv("QUILLON_SCREENSHOT_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR not set";
    fake::MemDrawing sheet;
    sheet.blocks.push_back(
        attributed("PUMP", {{"TAG", "P-101", "4D"}, {"DESC", "Feed pump 1", "4E"}}, "4A"));
    sheet.blocks.push_back(
        attributed("PUMP", {{"TAG", "P-102", "52"}, {"DESC", "Feed pump 2", "53"}}, "4F"));
    sheet.blocks.push_back(attributed("TITLE", {{"TITLE", "Boiler feed water", "61"}}, "5E", true));
    addDrawing("boiler-feed.dwg", sheet);
    setOption("Blocks", "PUMP, TITLE");
    open();
    window->show();
    window->resize(900, 620);
    searchFor("feed");
    QCoreApplication::processEvents();
    const QString path = QString::fromLocal8Bit(folder) + "/search_window.png";
    ASSERT_TRUE(window->grab().save(path)) << path.toStdString();
}

}  // namespace
