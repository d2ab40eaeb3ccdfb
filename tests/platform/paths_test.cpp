// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/paths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <climits>

#include "scratch_folder.h"

namespace {

TEST(JoinPath, AddsTheSeparatorOnlyWhenMissing) {
    EXPECT_EQ(platform::joinPath("/data/drawings", "a.dwg"), "/data/drawings/a.dwg");
    EXPECT_EQ(platform::joinPath("/data/drawings/", "a.dwg"), "/data/drawings/a.dwg");
    EXPECT_EQ(platform::joinPath("/", "etc"), "/etc");
    EXPECT_EQ(platform::joinPath("", "a.dwg"), "a.dwg");
    EXPECT_EQ(platform::joinPath("rel", ""), "rel/");
}

TEST(DriveOf, GivesTheMountPointThatHoldsThePath) {
    ScratchFolder scratch;
    const QString file = scratch.writeFile("sub/a.txt");
    const QString root = QStorageInfo(scratch.path()).rootPath();
    ASSERT_FALSE(root.isEmpty());

    EXPECT_EQ(platform::driveOf(file), root);
    EXPECT_EQ(platform::driveOf(scratch.path()), root);
    // Missing files and folders take the root of their nearest existing parent.
    EXPECT_EQ(platform::driveOf(scratch.path("sub/missing/deeper/b.txt")), root);
    EXPECT_EQ(platform::driveOf("/"), "/");
    EXPECT_EQ(platform::driveOf(""), "");
}

TEST(ResolvePath, MatchesEachComponentIgnoringCaseAndKeepsTheRest) {
    ScratchFolder scratch;
    for (const char* file :
         {"Drawings/Site A/Plan.DWG", "Out/file.txt", "list/plan.dwg", "list/PLAN.dwg",
          "list/Plan.dwg", "two/Folder/b.txt", "two/FOLDER/a.txt"}) {
        scratch.writeFile(file);
    }
    const std::pair<QString, QString> cases[] = {
        {"Drawings/Site A/Plan.DWG", "Drawings/Site A/Plan.DWG"},
        {"Drawings/", "Drawings/"},
        {"DRAWINGS/site a/plan.dwg", "Drawings/Site A/Plan.DWG"},
        {"drawings/SITE A", "Drawings/Site A"},
        {"OUT/New File.txt", "Out/New File.txt"},
        {"none/OUT/x", "none/OUT/x"},
        // A file is no folder: nothing is looked up below it.
        {"out/FILE.TXT/x", "Out/file.txt/x"},
        // The exact name first; else, upper case sorts first among equal names.
        {"LIST/Plan.dwg", "list/Plan.dwg"},
        {"LIST/plan.dwg", "list/plan.dwg"},
        {"list/plan.DWG", "list/PLAN.dwg"},
        // The first candidate folder does not hold the file; the later components stay as given.
        {"two/folder/B.TXT", "two/FOLDER/B.TXT"},
    };
    for (const auto& [given, resolved] : cases) {
        EXPECT_EQ(platform::resolvePath(scratch.path(given)), scratch.path(resolved))
            << given.toStdString();
    }
    // From the root down: every component of the absolute path is looked up.
    EXPECT_EQ(platform::resolvePath(scratch.path("Drawings/Site A/Plan.DWG").toUpper()),
              scratch.path("Drawings/Site A/Plan.DWG"));
    EXPECT_EQ(platform::resolvePath(""), "");
}

// The system refuses a path over PATH_MAX bytes and a name over NAME_MAX bytes; so does the
// resolver, at once and saying why, instead of walking a crafted path name by name.
TEST(ResolvePath, RefusesPathsAndNamesLongerThanTheSystemAllows) {
    ScratchFolder scratch;
    scratch.writeFile("Out/file.txt");
    QString deep = scratch.path("OUT");
    while (deep.size() < 400000) deep += QStringLiteral("/a");
    const QString base = scratch.path("OUT") + '/';
    const qsizetype room = PATH_MAX - 1 - QFile::encodeName(base).size();
    struct Case {
        QString given;
        const char* refusal;  // empty: resolved as usual
    };
    const Case cases[] = {
        {deep, "the path is longer than the system allows: 400"},
        {base + QString(NAME_MAX, u'n'), ""},
        {base + QString(NAME_MAX + 1, u'n') + "/x.txt",
         "the name nnnnnnnnnnnnnnnnnnnn... is longer than the system allows: 256 bytes, at most "
         "255"},
        // Bytes are counted, not characters: 90 euro signs are 270 bytes.
        {base + QString(90, QChar(0x20AC)), "is longer than the system allows: 270 bytes"},
        {base + QString(85, QChar(0x20AC)), ""},
        // At the limit the path is taken; one byte more is not.
        {base + QString(room, u'/'), ""},
        {base + QString(room + 1, u'/'), "the path is longer than the system allows"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given.left(300).toStdString());
        QString refusal = "untouched";
        const QString resolved = platform::resolvePath(c.given, &refusal);
        EXPECT_TRUE(refusal.contains(c.refusal)) << refusal.toStdString();
        if (*c.refusal != '\0') {
            EXPECT_EQ(resolved, c.given) << "given back as it was";
        } else {
            EXPECT_TRUE(refusal.isEmpty()) << refusal.toStdString();
            EXPECT_TRUE(resolved.startsWith(scratch.path("Out/")));
        }
    }
}

TEST(ResolvePathAndDriveOf, TakeRelativePathsFromTheCurrentFolder) {
    ScratchFolder scratch;
    scratch.writeFile("Sub/Data.txt");
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(scratch.path()));
    EXPECT_EQ(platform::driveOf("no-such-file.txt"), QStorageInfo(scratch.path()).rootPath());
    EXPECT_EQ(platform::resolvePath("sub/data.TXT"), "Sub/Data.txt");
    EXPECT_EQ(platform::resolvePath("./SUB/../sub/DATA.txt"), "./Sub/../Sub/Data.txt");
    EXPECT_EQ(platform::resolvePath("sub//data.txt"), "Sub//Data.txt");
    QDir::setCurrent(previous);
}

}  // namespace
