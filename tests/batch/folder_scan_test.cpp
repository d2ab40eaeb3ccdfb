// SPDX-License-Identifier: GPL-3.0-or-later
// The folder walk of a wildcard line without extension, on real folders with real links.

#include "batch/folder_scan.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "../platform/scratch_folder.h"
#include "support/qt_printers.h"

namespace {

// proj/e-1.dwg, proj/sub/e-2.dwg and, beside the tree, outside/e-9.dwg.
struct Tree {
    Tree() {
        scratch.writeFile("proj/e-1.dwg");
        scratch.writeFile("proj/sub/e-2.dwg");
        scratch.writeFile("outside/e-9.dwg");
    }
    // `target` starting with '@' is a path in the scratch folder.
    void link(const QString& target, const QString& linkName) const {
        const QString to = target.startsWith('@') ? scratch.path(target.mid(1)) : target;
        ASSERT_TRUE(QFile::link(to, scratch.path(linkName))) << linkName.toStdString();
    }

    ScratchFolder scratch;
    const QString root = scratch.makeFolder("proj");
};

TEST(FolderScan, LinksLeadToEachFolderOnceAndNeverRoundACycle) {
    const QStringList inTree = {"e-1.dwg", "sub/e-2.dwg"};
    const struct {
        const char* name;
        std::vector<std::pair<QString, QString>> links;  // target ('@': in the scratch), link
        QStringList expected;                            // under proj
    } cases[] = {
        {"link back to a parent", {{"..", "proj/sub/up"}}, inTree},
        {"links to the folder itself",
         {{".", "proj/again"}, {"@proj", "proj/sub/home"}, {"../sub", "proj/sub/self"}},
         inTree},
        {"link into the tree, sorting before its folder", {{"sub", "proj/alias"}}, inTree},
        {"link out of the tree, reached twice and leading back",
         {{"@outside", "proj/a-out"}, {"@outside", "proj/sub/b-out"}, {"..", "outside/back"}},
         {"e-1.dwg", "a-out/e-9.dwg", "sub/e-2.dwg"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Tree tree;
        for (const auto& [target, link] : c.links) tree.link(target, link);
        QStringList found = batch::ScanFolder(tree.root, QStringLiteral("E*.DWG"));
        for (QString& path : found) path.remove(0, tree.root.size() + 1);
        EXPECT_EQ(found, c.expected);
    }
}

TEST(FolderScan, ScanningNamesEachFolderEntered) {
    const Tree tree;
    tree.link("..", "proj/sub/up");
    QStringList announced;
    batch::ScanFolder(tree.root, "*.dwg", [&](const QString& path) { announced << path; });
    EXPECT_EQ(announced, QStringList{tree.root + "/sub"});
}

}  // namespace
