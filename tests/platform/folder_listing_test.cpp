// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/folder_listing.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

#include "scratch_folder.h"

namespace {

using platform::listFolder;
using platform::ListOptions;

class FolderListing : public ::testing::Test {
protected:
    void SetUp() override {
        scratch.writeFile("b.dwg");
        scratch.writeFile("A.DWG");
        scratch.writeFile("a.dwg");
        scratch.writeFile("c_1.dwg");
        scratch.writeFile("Ca.dwg");
        scratch.writeFile("notes.txt");
        scratch.writeFile("README");
        scratch.writeFile(".hidden.dwg");
        scratch.makeFolder("Sub.dwg");
        scratch.makeFolder("other");
        scratch.makeFolder(".git");
    }

    ScratchFolder scratch;
};

// Sorted as upper case ("_" after the letters, as NTFS does), then exactly.
TEST_F(FolderListing, ListsMatchingFilesSortedIgnoringCase) {
    EXPECT_EQ(listFolder(scratch.path(), "*.dwg", {}),
              QStringList({"A.DWG", "a.dwg", "b.dwg", "Ca.dwg", "c_1.dwg"}));
    EXPECT_EQ(listFolder(scratch.path(), "*.*", {}),
              QStringList({"A.DWG", "a.dwg", "b.dwg", "Ca.dwg", "c_1.dwg", "notes.txt", "README"}));
    EXPECT_EQ(listFolder(scratch.path(), "", {}), listFolder(scratch.path(), "*", {}));
    EXPECT_EQ(listFolder(scratch.path(), "*.TXT;readme", {}), QStringList({"notes.txt", "README"}));
    EXPECT_EQ(listFolder(scratch.path(), "?.dwg", {}), QStringList({"A.DWG", "a.dwg", "b.dwg"}));
}

TEST_F(FolderListing, ChoosesFilesFoldersAndHiddenEntries) {
    EXPECT_EQ(listFolder(scratch.path(), "*", {.files = false, .folders = true}),
              QStringList({"other", "Sub.dwg"}));
    EXPECT_EQ(listFolder(scratch.path(), "*.dwg", {.folders = true}),
              QStringList({"A.DWG", "a.dwg", "b.dwg", "Ca.dwg", "c_1.dwg", "Sub.dwg"}));
    const ListOptions hidden{.folders = true, .hidden = true};
    EXPECT_EQ(listFolder(scratch.path(), ".*", hidden), QStringList({".git", ".hidden.dwg"}));
    EXPECT_EQ(listFolder(scratch.path(), "*.dwg", hidden).first(), ".hidden.dwg");
    EXPECT_TRUE(listFolder(scratch.path(), "*", {.files = false}).isEmpty());
}

TEST_F(FolderListing, SystemEntriesNeedTheSystemOption) {
    if (QProcess::execute("mkfifo", {scratch.path("pipe.dwg"), scratch.path(".pipe.dwg")}) != 0)
        GTEST_SKIP() << "mkfifo is not available";
    // Links count as their target: to a device, a file, a folder; a dangling link is system.
    ASSERT_TRUE(QFile::link("/dev/null", scratch.path("device.dwg")));
    ASSERT_TRUE(QFile::link(scratch.path("b.dwg"), scratch.path("link-to-file.dwg")));
    ASSERT_TRUE(QFile::link(scratch.path("other"), scratch.path("link-to-folder.dwg")));
    ASSERT_TRUE(QFile::link(scratch.path("gone"), scratch.path("dangling.dwg")));

    const QStringList plain = {"A.DWG", "a.dwg", "b.dwg", "Ca.dwg", "c_1.dwg", "link-to-file.dwg"};
    EXPECT_EQ(listFolder(scratch.path(), "*.dwg", {}), plain);

    EXPECT_EQ(listFolder(scratch.path(), "*.dwg", {.system = true}),
              QStringList({"A.DWG", "a.dwg", "b.dwg", "Ca.dwg", "c_1.dwg", "dangling.dwg",
                           "device.dwg", "link-to-file.dwg", "pipe.dwg"}));

    EXPECT_EQ(listFolder(scratch.path(), "*", {.files = false, .hidden = true, .system = true}),
              QStringList({".pipe.dwg", "dangling.dwg", "device.dwg", "pipe.dwg"}));

    EXPECT_EQ(listFolder(scratch.path(), "*.dwg", {.files = false, .folders = true}),
              QStringList({"link-to-folder.dwg", "Sub.dwg"}));
}

TEST(FolderListingEdges, MissingOrNonFolderGivesNothing) {
    ScratchFolder scratch;
    const QString file = scratch.writeFile("file.txt");
    EXPECT_TRUE(listFolder(scratch.path("missing"), "*", {}).isEmpty());
    EXPECT_TRUE(listFolder(file, "*", {}).isEmpty());
    EXPECT_TRUE(listFolder(scratch.path("empty-pattern-folder"), "", {}).isEmpty());
}

TEST(FolderListingEdges, HandlesThousandsOfFilesInNameOrder) {
    ScratchFolder scratch;
    QStringList expected;
    for (int i = 2999; i >= 0; --i) {
        const QString name =
            QStringLiteral("%1%2.dwg").arg(i % 2 ? "Part" : "part").arg(i, 4, 10, QChar('0'));
        scratch.writeFile(name);
        expected.append(name);
    }
    scratch.writeFile("skip.txt");
    std::sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
        return a.mid(4) < b.mid(4);  // the numbers decide; the letter case never does here
    });
    EXPECT_EQ(listFolder(scratch.path(), "PART*.DWG", {}), expected);
}

}  // namespace
