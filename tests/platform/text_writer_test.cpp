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

// Every mode writes UTF-8 with CR LF line ends; a replacement takes the old file's place only
// on commit, appended text stays without one, and no temporary file is left behind.
TEST(TextWriter, EachModeWritesUtf8LinesWhereAndWhenItShould) {
    using Mode = TextWriter::Mode;
    const QByteArray text =
        "'DWG','Stra\xC3\x9F"
        "e'\r\nno end \xE2\x82\xAC\r\n";
    const struct {
        const char* name;
        Mode mode;
        QByteArray old;  // empty: no file
        bool write, commit;
        QByteArray expected;
    } cases[] = {
        {"a new file", Mode::Replace, {}, true, true, text},
        {"replaced", Mode::Replace, "old\r\n", true, true, text},
        {"replaced by nothing", Mode::Replace, "old\r\n", false, true, ""},
        {"discarded without commit", Mode::Replace, "old\r\n", true, false, "old\r\n"},
        {"a scratch file, rewritten in place", Mode::Scratch,
         "a much longer old content than the new one\r\n", true, true, text},
        {"appended", Mode::Append, "old\r\n", true, true, "old\r\n" + text},
        {"appended to a new file, without commit", Mode::Append, {}, true, false, text},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder scratch;
        const QString path =
            c.old.isEmpty() ? scratch.path("out.txt") : scratch.writeFile("out.txt", c.old);
        {
            TextWriter writer;
            ASSERT_TRUE(writer.open(path, c.mode));
            EXPECT_TRUE(writer.isOpen());
            if (c.write) {
                writer.writeLine(QString::fromUtf8("'DWG','Straße'"));
                writer.write("no end ");
                writer.write(QString::fromUtf8("€"));
                writer.writeLine("");
            }
            if (c.mode == Mode::Replace && !c.old.isEmpty()) {
                EXPECT_EQ(ScratchFolder::readFile(path), c.old) << "untouched while writing";
            }
            if (c.commit) {
                EXPECT_TRUE(writer.commit());
                EXPECT_FALSE(writer.isOpen());
            }
        }
        EXPECT_EQ(ScratchFolder::readFile(path), c.expected);
        EXPECT_EQ(filesIn(scratch.path()), QStringList({"out.txt"}));
    }
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
