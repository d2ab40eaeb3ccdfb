// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_exists.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

bool write(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
}

TEST(FileExists, FileExistsFindsFilesFoldersAndPatternsButNotHiddenOnes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(write(dir.filePath("Plan.dxf")));
    ASSERT_TRUE(write(dir.filePath(".hidden.dxf")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));

    EXPECT_TRUE(platform::fileExists(dir.filePath("Plan.dxf")));
    EXPECT_TRUE(platform::fileExists(dir.filePath("plan.DXF"))) << "letter case is ignored";
    EXPECT_TRUE(platform::fileExists(dir.filePath("*.dxf")));
    EXPECT_TRUE(platform::fileExists(dir.filePath("sub")));
    EXPECT_FALSE(platform::fileExists(dir.filePath(".hidden.dxf")));
    EXPECT_FALSE(platform::fileExists(dir.filePath("missing.dxf")));
    EXPECT_FALSE(platform::fileExists(dir.filePath("nofolder/Plan.dxf")));
    EXPECT_FALSE(platform::fileExists(""));
}

// A name is a pattern only when it holds a wildcard; any other character is part of the name.
TEST(FileExists, FileExistsTakesAPlainPathAsItIs) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QStringList names = {"A;B.dxf", "plan;1.dwg", ";lead.dxf", "x [1].dxf", "tail;"};
    for (const QString& name : names) {
        ASSERT_TRUE(write(dir.filePath(name)));
        EXPECT_TRUE(platform::fileExists(dir.filePath(name))) << name.toStdString();
    }
    EXPECT_FALSE(platform::fileExists(dir.filePath("A;missing.dxf")))
        << "not read as the pattern list A and missing.dxf";
    ASSERT_TRUE(write(dir.filePath("A")));
    EXPECT_FALSE(platform::fileExists(dir.filePath("A;missing.dxf")));
    EXPECT_TRUE(platform::fileExists(dir.filePath("a;b.DXF"))) << "letter case is still ignored";
    EXPECT_TRUE(platform::fileExists(dir.filePath("*;B.dxf"))) << "a wildcard makes it a pattern";

    QTemporaryDir other;
    ASSERT_TRUE(write(other.filePath("z.txt")));
    EXPECT_FALSE(platform::fileExists(other.filePath("q;*.txt"))) << "one pattern, not two";
    EXPECT_TRUE(platform::fileExists(other.filePath("Z.*")));
}

}  // namespace
