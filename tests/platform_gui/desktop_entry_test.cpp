// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gui/desktop_entry.h"

#include <gtest/gtest.h>

namespace {

using platform::desktopEntryExec;
using platform::desktopExecCommand;

TEST(DesktopExecCommand, PutsTheFileWhereTheEntrySays) {
    const QString file = "/data/my templates/t 1.txt";
    EXPECT_EQ(desktopExecCommand("gedit %U", file), QStringList({"gedit", file}));
    EXPECT_EQ(desktopExecCommand("kate -b %f", file), QStringList({"kate", "-b", file}));
    EXPECT_EQ(desktopExecCommand("mousepad", file), QStringList({"mousepad", file}));
    EXPECT_EQ(desktopExecCommand("editor %i %c --name=%k %F", file),
              QStringList({"editor", "--name=", file}));
    EXPECT_EQ(desktopExecCommand("\"/opt/My Editor/edit\" --x=\"a \\\"b\\\"\" %f", file),
              QStringList({"/opt/My Editor/edit", "--x=a \"b\"", file}));
    EXPECT_EQ(desktopExecCommand("run 100%% --file=%f", file),
              QStringList({"run", "100%", "--file=" + file}));
    EXPECT_EQ(desktopExecCommand("", file), QStringList());
    EXPECT_EQ(desktopExecCommand("%i", file), QStringList());
}

TEST(DesktopEntryExec, ReadsTheDesktopEntryGroupOnly) {
    EXPECT_EQ(
        desktopEntryExec("[Desktop Entry]\nName=Text Editor\nExec=gnome-text-editor %U\n"
                         "[Desktop Action new-window]\nExec=gnome-text-editor --new-window\n"),
        "gnome-text-editor %U");
    EXPECT_EQ(desktopEntryExec("[Desktop Entry]\r\nExec = vim %F\r\nTerminal=true\r\n"), "");
    EXPECT_EQ(desktopEntryExec("[Desktop Entry]\nExec=nano\nTerminal=false\n"), "nano");
    EXPECT_EQ(desktopEntryExec("[Other]\nExec=x\n"), "");
}

}  // namespace
