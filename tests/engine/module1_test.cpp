#include "engine/module1.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "support/files.h"
#include "support/qt_printers.h"

namespace {

TEST(Module1, CountFieldsCountsSeparatorsPlusTwo) {
    EXPECT_EQ(Module1::CountFields("'A-101','N/A','B'"), 4);
    EXPECT_EQ(Module1::CountFields("'A-101','N/A'"), 3);
    EXPECT_EQ(Module1::CountFields("'A-101'"), 0);
    EXPECT_EQ(Module1::CountFields(""), 0);
    EXPECT_EQ(Module1::CountFields("','"), 0) << "the first and last characters are not scanned";
    EXPECT_EQ(Module1::CountFields("x','"), 0);
    EXPECT_EQ(Module1::CountFields("x','x"), 3);
    // No overlaps: "','','" holds two separators, not three.
    EXPECT_EQ(Module1::CountFields("'a','','b'"), 4);
}

TEST(Module1, CdfToSdfReplacesSeparatorsAndCutsBlanks) {
    EXPECT_EQ(Module1::CdfToSdf("'A-101','N/A'", 2), "A-101  N/A");
    EXPECT_EQ(Module1::CdfToSdf("", 2), "");
    EXPECT_EQ(Module1::CdfToSdf("'only'", 2), "'only'") << "no separator: unchanged";
    EXPECT_EQ(Module1::CdfToSdf("'a','b','c'", 0), "abc");
    // An empty first value is lost because leading blanks are cut.
    EXPECT_EQ(Module1::CdfToSdf("'','x'", 3), "x");
    EXPECT_EQ(Module1::CdfToSdf("'\ta','b'", 1), "\ta b") << "tabs are not cut";
    EXPECT_EQ(Module1::CdfToSdf("'a','b'", 255).size(), 257);
}

TEST(Module1, CountSpacesCountsBlanksOnly) {
    EXPECT_EQ(Module1::CountSpaces(" TITLE "), 2);
    EXPECT_EQ(Module1::CountSpaces(" A  B "), 4);
    EXPECT_EQ(Module1::CountSpaces("*"), 0);
    EXPECT_EQ(Module1::CountSpaces("\t"), 0);
}

TEST(Module1, FileExistsFindsFilesFoldersAndPatternsButNotHiddenOnes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(testfiles::write(dir.filePath("Plan.dxf"), "x"));
    ASSERT_TRUE(testfiles::write(dir.filePath(".hidden.dxf"), "x"));
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));

    EXPECT_TRUE(Module1::FileExists(dir.filePath("Plan.dxf")));
    EXPECT_TRUE(Module1::FileExists(dir.filePath("plan.DXF"))) << "letter case is ignored";
    EXPECT_TRUE(Module1::FileExists(dir.filePath("*.dxf")));
    EXPECT_TRUE(Module1::FileExists(dir.filePath("sub")));
    EXPECT_FALSE(Module1::FileExists(dir.filePath(".hidden.dxf")));
    EXPECT_FALSE(Module1::FileExists(dir.filePath("missing.dxf")));
    EXPECT_FALSE(Module1::FileExists(dir.filePath("nofolder/Plan.dxf")));
    EXPECT_FALSE(Module1::FileExists(""));
}

// A name is a pattern only when it holds a wildcard; any other character is part of the name.
TEST(Module1, FileExistsTakesAPlainPathAsItIs) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QStringList names = {"A;B.dxf", "plan;1.dwg", ";lead.dxf", "x [1].dxf", "tail;"};
    for (const QString& name : names) {
        ASSERT_TRUE(testfiles::write(dir.filePath(name), "x"));
        EXPECT_TRUE(Module1::FileExists(dir.filePath(name))) << name.toStdString();
    }
    EXPECT_FALSE(Module1::FileExists(dir.filePath("A;missing.dxf")))
        << "not read as the pattern list A and missing.dxf";
    ASSERT_TRUE(testfiles::write(dir.filePath("A"), "x"));
    EXPECT_FALSE(Module1::FileExists(dir.filePath("A;missing.dxf")));
    EXPECT_TRUE(Module1::FileExists(dir.filePath("a;b.DXF"))) << "letter case is still ignored";
    EXPECT_TRUE(Module1::FileExists(dir.filePath("*;B.dxf"))) << "a wildcard makes it a pattern";

    QTemporaryDir other;
    ASSERT_TRUE(testfiles::write(other.filePath("z.txt"), "x"));
    EXPECT_FALSE(Module1::FileExists(other.filePath("q;*.txt"))) << "one pattern, not two";
    EXPECT_TRUE(Module1::FileExists(other.filePath("Z.*")));
}

}  // namespace
