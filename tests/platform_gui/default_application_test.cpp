// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gui/default_application.h"

#include <gtest/gtest.h>

#include "platform/scratch_folder.h"

namespace {

using platform::AssociationFolders;
using platform::defaultApplicationEntry;

class DefaultApplication : public ::testing::Test {
protected:
    void SetUp() override {
        folders.configFolders = {path("config-home"), path("config-dir")};
        folders.applicationFolders = {path("data-home/applications"),
                                      path("data-dir/applications")};
    }

    QString path(const QString& relative) const { return root.path(relative); }
    void write(const QString& relative, const QByteArray& text) const {
        root.writeFile(relative, text);
    }
    void install(const QString& relative) const { write(relative, "[Desktop Entry]\nExec=x\n"); }

    ScratchFolder root;
    AssociationFolders folders;
};

TEST_F(DefaultApplication, TakesTheFirstInstalledDefaultInOrder) {
    install("data-dir/applications/kde4/kate.desktop");
    install("data-dir/applications/gedit.desktop");
    write("config-home/mimeapps.list",
          "[Added Associations]\ntext/plain=gedit.desktop;\n"
          "[Default Applications]\ntext/html=gedit.desktop\n"
          "text/plain=missing.desktop;kde4-kate.desktop;\n");
    write("config-dir/mimeapps.list", "[Default Applications]\ntext/plain=gedit.desktop\n");
    EXPECT_EQ(defaultApplicationEntry("text/plain", folders),
              path("data-dir/applications/kde4/kate.desktop"));

    // The desktop's own list comes before the general one of the same folder.
    write("config-home/gnome-mimeapps.list", "[Default Applications]\ntext/plain=gedit.desktop\n");
    EXPECT_EQ(defaultApplicationEntry("text/plain", folders),
              path("data-dir/applications/kde4/kate.desktop"));
    folders.desktopNames = {"gnome"};
    EXPECT_EQ(defaultApplicationEntry("text/plain", folders),
              path("data-dir/applications/gedit.desktop"));
}

TEST_F(DefaultApplication, FallsBackToAssociationsAndTheCache) {
    install("data-home/applications/mousepad.desktop");
    install("data-dir/applications/nano.desktop");
    EXPECT_EQ(defaultApplicationEntry("text/plain", folders), "");

    write("data-dir/applications/mimeinfo.cache",
          "[MIME Cache]\ntext/markdown=mousepad.desktop;\ntext/plain=gone.desktop;nano.desktop;\n");
    EXPECT_EQ(defaultApplicationEntry("text/plain", folders),
              path("data-dir/applications/nano.desktop"));

    write("config-dir/mimeapps.list", "[Added Associations]\ntext/plain=mousepad.desktop\n");
    EXPECT_EQ(defaultApplicationEntry("text/plain", folders),
              path("data-home/applications/mousepad.desktop"));
    EXPECT_EQ(defaultApplicationEntry("image/png", folders), "");
}

}  // namespace
