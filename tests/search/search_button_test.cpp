// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's search button opens the search window in front of it.

#include <QApplication>
#include <QPushButton>

#include "mainwindow/main_window.h"
#include "search_window_fixture.h"

namespace {

TEST_F(SearchWindowTest, TheMainWindowsSearchButtonOpensTheSearchWindowModally) {
    MainWindow mainWindow(MainWindowServices(fakes.platform(), model->factory()), programFolder(),
                          QString());
    auto* searchButton = mainWindow.findChild<QPushButton*>("searchButton");
    ASSERT_TRUE(searchButton);
    setOption("Search", "from the settings");
    searchButton->click();
    auto* search = mainWindow.findChild<SearchWindow*>();
    ASSERT_NE(search, nullptr);
    EXPECT_TRUE(search->isVisible());
    EXPECT_TRUE(search->isWindow());
    EXPECT_EQ(search->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(search->searchTextEdit->text(), "from the settings");

    // Closed, it stores its settings and goes; the next opening loads them afresh.
    search->searchTextEdit->setText("pump");
    search->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(mainWindow.findChild<SearchWindow*>(), nullptr);
    EXPECT_EQ(option("Search"), "pump");
    searchButton->click();
    search = mainWindow.findChild<SearchWindow*>();
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(search->searchTextEdit->text(), "pump");
    search->close();
}

}  // namespace
