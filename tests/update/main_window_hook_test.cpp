// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's update button: it opens the update window modal, whose Browse starts in the
// folder of the main window's matching destination.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>

#include "mainwindow/main_window_controls.h"
#include "platform/scratch_folder.h"
#include "support/gui/fake_platform.h"
#include "support/qt_printers.h"
#include "update/update_window.h"

namespace {

TEST(UpdateButton, OpensTheUpdateWindowModalStartingInTheDestinationFolders) {
    ScratchFolder scratch;
    const QString books = scratch.makeFolder("books");
    fake::FakePlatform fakes;
    fakes.settings.set("Options", "EPath", books);
    fakes.settings.set("Update", "Kind", "Excel");
    MainWindow window(MainWindowServices(fakes.platform()), scratch.path(), QString());
    const MainWindowControls ui = controlsOf(window);
    window.load();
    ASSERT_NE(ui.updateButton, nullptr);
    EXPECT_EQ(ui.updateButton->toolTip(), " Write edited values back into drawings ");

    ui.updateButton->click();
    auto* update = qobject_cast<UpdateWindow*>(QApplication::activeModalWidget());
    ASSERT_NE(update, nullptr);
    EXPECT_TRUE(update->isWindow());
    EXPECT_EQ(update->windowModality(), Qt::ApplicationModal);
    fakes.dialogs.answerOpenFile({});
    update->findChild<QPushButton*>("browseSourceButton")->click();
    ASSERT_EQ(fakes.dialogs.shown().size(), 1u);
    EXPECT_EQ(fakes.dialogs.shown()[0].file.folder, books);

    update->findChild<QComboBox*>("kindCombo")->setCurrentIndex(0);
    update->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window.findChild<UpdateWindow*>(), nullptr);
    EXPECT_EQ(fakes.settings.get("Update", "Kind"), "Text");
}

}  // namespace
