// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's buttons that open the other windows: from "..", the chosen pattern becomes
// its drawing folder and pattern; the shared drawing folder follows Add there and the search
// window's folder picker; About shows the about window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include "about/about_window.h"
#include "filespecs/file_spec_window.h"
#include "mainwindow/main_window_controls.h"
#include "platform/scratch_folder.h"
#include "search/search_window.h"
#include "support/gui/fake_platform.h"
#include "support/qt_printers.h"

namespace {

class MainWindowHookTest : public ::testing::Test {
protected:
    MainWindow& load() {
        window = std::make_unique<MainWindow>(MainWindowServices(fakes.platform()), scratch.path(),
                                              QString());
        ui = controlsOf(*window);
        window->load();
        return *window;
    }
    // Clicks `button` and runs `act` on the modal window of type `Window` it opens, which is
    // closed after.
    template <typename Window>
    void clickAndUse(QPushButton* button, const std::function<void(Window&)>& act) {
        bool shown = false;
        QTimer::singleShot(0, [&] {
            auto* opened = qobject_cast<Window*>(QApplication::activeModalWidget());
            ASSERT_NE(opened, nullptr);
            shown = true;
            act(*opened);
            if (opened->isVisible()) opened->close();
        });
        button->click();
        EXPECT_TRUE(shown);
    }
    void clickSpecButton(const std::function<void(FileSpecWindow&)>& act) {
        clickAndUse(ui.fileSpecButton, act);
    }

    ScratchFolder scratch;
    fake::FakePlatform fakes;
    std::unique_ptr<MainWindow> window;
    MainWindowControls ui;
};

TEST_F(MainWindowHookTest, SelectSetsFolderAndPatternOrThePatternAlone) {
    const QString jobs = scratch.makeFolder("Jobs/A1");
    scratch.writeFile("Jobs/A1/plan1.dwg");
    scratch.writeFile("Jobs/A1/other.dwg");
    fakes.settings.set("FSpec", "Dir0", jobs + "/plan*.dwg");
    fakes.settings.set("FSpec", "Dir1", "o*.dwg");
    load();

    // The pattern alone leaves the folder as it is.
    const struct {
        int row;
        QString pattern, drawing;
    } choices[] = {{0, "plan*.dwg", "plan1.dwg"}, {1, "o*.dwg", "other.dwg"}};
    for (const auto& c : choices) {
        clickSpecButton([&](FileSpecWindow& specs) {
            specs.specList->setCurrentRow(c.row);
            specs.selectPattern();
        });
        EXPECT_EQ(ui.drawingFolderList->path(), jobs);
        EXPECT_EQ(ui.drawingPatternEdit->text(), c.pattern);
        ASSERT_EQ(ui.drawingList->count(), 1);
        EXPECT_EQ(ui.drawingList->item(0)->text(), c.drawing);
    }
}

TEST_F(MainWindowHookTest, ClosingLeavesTheSelectionAndAddMovesTheSharedFolder) {
    const QString drawings = scratch.makeFolder("drawings");
    load();
    const QString folderBefore = ui.drawingFolderList->path();
    const QString patternBefore = ui.drawingPatternEdit->text();
    fakes.dialogs.answerFolder(drawings);
    fakes.dialogs.answerInput(drawings + "/*.dxf");
    fakes.dialogs.answerInput("");
    clickSpecButton([](FileSpecWindow& specs) { specs.addPattern(); });
    EXPECT_EQ(ui.drawingFolderList->path(), folderBefore);
    EXPECT_EQ(ui.drawingPatternEdit->text(), patternBefore);
    EXPECT_EQ(window->sharedDrawingFolder(), drawings);
    EXPECT_EQ(fakes.settings.get("FSpec", "Dir0"), drawings + "/*.dxf");
}

// The search button opens the search window modal with the stored settings; closed, it stores
// them and goes. Its folder picker moves the shared drawing folder in memory (a cancelled
// pattern box too), where the file pattern list's Add then starts; only that list stores it.
TEST_F(MainWindowHookTest, TheSearchWindowOpensModalAndSharesTheDrawingFolder) {
    const QString searched = scratch.makeFolder("searched");
    fakes.settings.set("Options", "Search", "from the settings");
    load();
    ui.searchButton->click();
    auto* search = qobject_cast<SearchWindow*>(QApplication::activeModalWidget());
    ASSERT_NE(search, nullptr);
    EXPECT_TRUE(search->isWindow());
    EXPECT_EQ(search->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(search->searchTextEdit->text(), "from the settings");
    search->searchTextEdit->setText("pump");
    fakes.dialogs.answerFolder(searched);
    fakes.dialogs.cancelInput();
    search->browseButton->click();
    search->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window->findChild<SearchWindow*>(), nullptr);
    EXPECT_EQ(fakes.settings.get("Options", "Search"), "pump");

    fakes.dialogs.answerFolder(searched);
    fakes.dialogs.cancelInput();
    clickSpecButton([](FileSpecWindow& specs) { specs.addPattern(); });
    const std::vector<fake::ShownBox>& shown = fakes.dialogs.shown();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[2].folder.startFolder, searched);
    EXPECT_EQ(shown[3].input.prompt, shown[1].input.prompt) << "both give the same examples";
    EXPECT_FALSE(shown[1].input.prompt.contains("C:\\")) << "paths as this platform writes them";
    EXPECT_EQ(fakes.settings.get("Options", "DWGFolder", "<absent>"), "<absent>");

    // The next opening loads the settings afresh.
    ui.searchButton->click();
    search = qobject_cast<SearchWindow*>(QApplication::activeModalWidget());
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(search->searchTextEdit->text(), "pump");
    search->close();
}

TEST_F(MainWindowHookTest, AboutButtonShowsTheAboutWindow) {
    load();
    clickAndUse<AboutWindow>(ui.aboutButton, [](AboutWindow&) {});
}

}  // namespace
