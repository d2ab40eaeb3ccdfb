// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/text_writer.h"

#include <gtest/gtest.h>

#include <QDir>

#include "scratch_folder.h"

namespace {

using platform::TextWriter;

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

TEST(TextWriter, WritesUtf8WithCrLfLineEnds) {
    ScratchFolder scratch;
    const QString path = scratch.path("out.txt");
    TextWriter writer;
    ASSERT_TRUE(writer.open(path));
    EXPECT_TRUE(writer.isOpen());
    writer.writeLine(QString::fromUtf8("'DWG','Straße'"));
    writer.write("no end ");
    writer.write(QString::fromUtf8("€"));
    writer.writeLine("");
    EXPECT_TRUE(writer.commit());
    EXPECT_FALSE(writer.isOpen());
    EXPECT_EQ(ScratchFolder::readFile(path),
              "'DWG','Stra\xC3\x9F"
              "e'\r\nno end \xE2\x82\xAC\r\n");
    EXPECT_EQ(filesIn(scratch.path()), QStringList({"out.txt"}));  // no temporary file left
}

TEST(TextWriter, ScratchFileIsRewrittenInPlace) {
    ScratchFolder scratch;
    const QString path = scratch.writeFile("run.txt", "a longer old content\r\n");
    TextWriter writer;
    ASSERT_TRUE(writer.open(path, TextWriter::Mode::Scratch));
    writer.writeLine("new");
    EXPECT_TRUE(writer.commit());
    EXPECT_EQ(ScratchFolder::readFile(path), "new\r\n");  // nothing of the old text left over
    EXPECT_EQ(filesIn(scratch.path()), QStringList({"run.txt"}));
}

TEST(TextWriter, ReplacesOnlyOnCommit) {
    ScratchFolder scratch;
    const QString path = scratch.writeFile("out.txt", "old\r\n");
    {
        TextWriter writer;
        ASSERT_TRUE(writer.open(path));
        writer.writeLine("new");
        EXPECT_EQ(ScratchFolder::readFile(path), "old\r\n");  // untouched while writing
    }                                                         // discarded without commit
    EXPECT_EQ(ScratchFolder::readFile(path), "old\r\n");
    EXPECT_EQ(filesIn(scratch.path()), QStringList({"out.txt"}));

    TextWriter writer;
    ASSERT_TRUE(writer.open(path, TextWriter::Mode::Replace));
    writer.writeLine("new");
    ASSERT_TRUE(writer.commit());
    EXPECT_EQ(ScratchFolder::readFile(path), "new\r\n");

    // An empty replacement still replaces.
    ASSERT_TRUE(writer.open(path));
    ASSERT_TRUE(writer.commit());
    EXPECT_EQ(ScratchFolder::readFile(path), "");
}

TEST(TextWriter, AppendsToTheFileItself) {
    ScratchFolder scratch;
    const QString path = scratch.path("err.log");
    {
        TextWriter writer;
        ASSERT_TRUE(writer.open(path, TextWriter::Mode::Append));  // created when missing
        writer.writeLine("first");
    }  // appended text stays without commit
    EXPECT_EQ(ScratchFolder::readFile(path), "first\r\n");

    TextWriter writer;
    ASSERT_TRUE(writer.open(path, TextWriter::Mode::Append));
    writer.writeLine("second");
    EXPECT_TRUE(writer.commit());
    EXPECT_EQ(ScratchFolder::readFile(path), "first\r\nsecond\r\n");
}

TEST(TextWriter, FailsCleanlyWhereNothingCanBeWritten) {
    ScratchFolder scratch;
    const QString file = scratch.writeFile("plain.txt", "keep");
    const QString folder = scratch.makeFolder("folder");
    // Permission bits do not stop the root user, so unwritable places are made of other
    // things: a parent that is a file, a missing folder, a target that is a folder.
    const QString unwritable[] = {file + "/out.txt", scratch.path("missing/out.txt"), folder, ""};
    for (const auto mode : {TextWriter::Mode::Replace, TextWriter::Mode::Append}) {
        for (const QString& path : unwritable) {
            TextWriter writer;
            EXPECT_FALSE(writer.open(path, mode)) << path.toStdString();
            EXPECT_FALSE(writer.isOpen());
            writer.writeLine("ignored");
            writer.write("ignored");
            EXPECT_FALSE(writer.commit());
        }
    }
    EXPECT_EQ(ScratchFolder::readFile(file), "keep");
    EXPECT_EQ(filesIn(scratch.path()), QStringList({"folder", "plain.txt"}));

    // The reason is kept for the message, and a later successful open forgets it.
    TextWriter writer;
    EXPECT_FALSE(writer.open(scratch.path("missing/out.txt")));
    EXPECT_FALSE(writer.errorString().isEmpty());
    ASSERT_TRUE(writer.open(scratch.path("out.txt")));
    EXPECT_TRUE(writer.errorString().isEmpty());
    writer.writeLine("x");
    EXPECT_TRUE(writer.commit());
    EXPECT_TRUE(writer.errorString().isEmpty());
    EXPECT_TRUE(filesIn(folder).isEmpty());

    TextWriter never;
    never.writeLine("harmless");
    EXPECT_FALSE(never.commit());
}

TEST(TextWriter, ReportsAFailedWriteAtCommit) {
    if (!QFileInfo::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    TextWriter writer;
    ASSERT_TRUE(writer.open("/dev/full", TextWriter::Mode::Append));  // every write: disk full
    writer.writeLine(QString(100000, u'x'));
    writer.writeLine("more");
    EXPECT_FALSE(writer.commit());
    EXPECT_FALSE(writer.errorString().isEmpty());
}

TEST(TextWriter, ReopeningDiscardsTheFirstReplacement) {
    ScratchFolder scratch;
    const QString first = scratch.writeFile("first.txt", "one");
    const QString second = scratch.path("second.txt");
    TextWriter writer;
    ASSERT_TRUE(writer.open(first));
    writer.writeLine("lost");
    ASSERT_TRUE(writer.open(second));
    writer.writeLine("kept");
    ASSERT_TRUE(writer.commit());
    EXPECT_EQ(ScratchFolder::readFile(first), "one");
    EXPECT_EQ(ScratchFolder::readFile(second), "kept\r\n");
    EXPECT_FALSE(writer.commit());  // nothing open any more
}

}  // namespace
