// SPDX-License-Identifier: GPL-3.0-or-later
// The folder walk of a wildcard line without extension, on real folders with real links.

#include "batch/folder_scan.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "../platform/scratch_folder.h"
#include "support/qt_printers.h"

namespace {

class FolderScan : public ::testing::Test {
protected:
    void SetUp() override {
        root = scratch.makeFolder("proj");
        scratch.writeFile("proj/e-1.dwg");
        scratch.writeFile("proj/sub/e-2.dwg");
        scratch.writeFile("outside/e-9.dwg");
    }
    void link(const QString& target, const QString& linkName) {
        ASSERT_TRUE(QFile::link(target, scratch.path(linkName))) << linkName.toStdString();
    }
    QStringList scan() const { return batch::ScanFolder(root, QStringLiteral("E*.DWG")); }

    ScratchFolder scratch;
    QString root;
};

TEST_F(FolderScan, LinkBackToAParentIsNotFollowedRoundTheCycle) {
    link("..", "proj/sub/up");
    EXPECT_EQ(scan(), (QStringList{root + "/e-1.dwg", root + "/sub/e-2.dwg"}));
}

TEST_F(FolderScan, TwoLinksToTheFolderItselfEndAtOnce) {
    link(".", "proj/again");
    link(root, "proj/sub/home");
    link("../sub", "proj/sub/self");
    EXPECT_EQ(scan(), (QStringList{root + "/e-1.dwg", root + "/sub/e-2.dwg"}));
}

TEST_F(FolderScan, LinkIntoTheTreeIsSkippedAndTheLinkedFolderWalkedOnce) {
    link("sub", "proj/alias");  // sorts before "sub"
    EXPECT_EQ(scan(), (QStringList{root + "/e-1.dwg", root + "/sub/e-2.dwg"}));
}

TEST_F(FolderScan, LinkOutOfTheTreeIsWalkedOnceHoweverOftenItIsReached) {
    link(scratch.path("outside"), "proj/a-out");
    link(scratch.path("outside"), "proj/sub/b-out");
    link("..", "outside/back");  // leads back into the tree from outside
    EXPECT_EQ(scan(),
              (QStringList{root + "/e-1.dwg", root + "/a-out/e-9.dwg", root + "/sub/e-2.dwg"}));
}

TEST_F(FolderScan, ScanningNamesEachFolderEntered) {
    link("..", "proj/sub/up");
    QStringList announced;
    batch::ScanFolder(root, "*.dwg", [&](const QString& path) { announced << path; });
    EXPECT_EQ(announced, QStringList{root + "/sub"});
}

}  // namespace
