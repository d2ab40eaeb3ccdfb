// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine_fixture.h"
#include "support/named_pipe.h"

namespace {

TEST_F(EngineTest, TemplateSectionsAreRequiredInOrder) {
    const struct {
        const char* name;
        QByteArray text;
        const char* message;  // empty: accepted
    } cases[] = {
        {"accepted", "*INPUT\r\n*OUTPUT\r\n*ATTRIBUTE_TAGS\r\nDWGNO\r\n", ""},
        {"empty", "", "Template file requires '*INPUT'."},
        {"input in lower case with blanks", "  *input  \r\n*OUTPUT\r\n*ATTRIBUTE_TAGS\r\nA\r\n",
         ""},
        {"lower-case output does not end the input",
         "*INPUT\r\n*output\r\n*ATTRIBUTE_TAGS\r\nA\r\n", "Template file requires '*OUTPUT'."},
        {"output with blanks does not end the input", "*INPUT\r\n *OUTPUT\r\n",
         "Template file requires '*OUTPUT'."},
        {"no attribute tags", "*INPUT\r\n*OUTPUT\r\nBLOCK_NAME\r\n",
         "Template file requires '*ATTRIBUTE_TAGS'."},
        {"no tag", "*INPUT\r\n*OUTPUT\r\n*ATTRIBUTE_TAGS\r\n' comment\r\n   \r\n",
         "Template file requires attribute tags."},
        {"only suppress", "*INPUT\r\n*OUTPUT\r\n*ATTRIBUTE_TAGS\r\n*SUPPRESS\r\n",
         "Template file requires attribute tags."},
        // Files written on Linux end their lines with LF alone; lone CR ends lines too.
        {"line feed ends", "*INPUT\n*OUTPUT\n*ATTRIBUTE_TAGS\nDWGNO\n", ""},
        {"carriage return ends", "*INPUT\r*OUTPUT\r*ATTRIBUTE_TAGS\rDWGNO", ""},
    };
    for (const auto& c : cases) {
        const core::Status loaded = session.loadTemplate(templateFile(c.text));
        EXPECT_EQ(loaded ? QString() : loaded.error().description, QString::fromUtf8(c.message))
            << c.name;
    }
}

// A template that cannot be read names its path and why. A template path may name anything: a
// device must not be read until memory runs out, a pipe must not hold the run for ever, a huge
// file must not be read whole.
TEST_F(EngineTest, TemplateThatIsNoRegularFileOrTooLargeIsRefusedSayingWhy) {
    const NamedPipe pipe(dir.filePath("pipe.txt"));
    ASSERT_TRUE(pipe.isValid());
    QByteArray large = "*INPUT\r\n*OUTPUT\r\n*ATTRIBUTE_TAGS\r\nDWGNO\r\n";
    large += QByteArray(4 * 1024 * 1024 - large.size(), ' ');
    const struct {
        QString path;
        const char* reason;
    } cases[] = {
        {dir.filePath("missing.txt"), "No such file or directory"},
        {dir.filePath("pipe.txt"), "not a regular file but a named pipe"},
        {templateFile(large + "\n", "large.txt"), "larger than 4 MB, the most a template may have"},
        {"/dev/zero", "not a regular file but a device"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const core::Status loaded = session.loadTemplate(c.path);
        ASSERT_FALSE(loaded.ok());
        EXPECT_EQ(loaded.error().description,
                  "Unable to open template file '" + c.path + "'. (" + c.reason + ")");
    }
    EXPECT_TRUE(session.loadTemplate(templateFile(large, "at-limit.txt")).ok());
}

TEST_F(EngineTest, InputSectionKeywordsAreParsedAndNormalised) {
    ASSERT_TRUE(
        loads("ignored line\r\n"
              "*INPUT\r\n"
              "password:x\r\n"
              "PASSWORD:  Secret Word  \r\n"
              " password: not at the start of the line\r\n"
              "  block: a, b  \r\n"
              "LAYER:\r\n"
              "Space: paper\r\n"
              "something else\r\n"
              "*OUTPUT\r\n"
              "*ATTRIBUTE_TAGS\r\n"
              "dwgno\r\n*SUPPRESS\r\n"));
    EXPECT_EQ(session.password(), "Secret Word") << "the last line starting so counts";
    EXPECT_EQ(session.blocks(), " A  B ");
    EXPECT_EQ(session.layers(), "  ") << "an empty list matches nothing";
    EXPECT_EQ(session.space(), "PAPER");
    EXPECT_EQ(session.tags(), QStringList{"DWGNO"});
    EXPECT_TRUE(session.suppress());

    // The next template starts from the defaults.
    ASSERT_TRUE(loads("*INPUT\r\n*OUTPUT\r\n*ATTRIBUTE_TAGS\r\nB\r\n"));
    EXPECT_EQ(session.blocks(), "*");
    EXPECT_EQ(session.layers(), "*");
    EXPECT_EQ(session.space(), "*");
    EXPECT_EQ(session.password(), "");
    EXPECT_FALSE(session.suppress());
    EXPECT_EQ(session.tags(), QStringList{"B"});
}

TEST_F(EngineTest, TagSectionHandlesSuppressAllTagsAndComments) {
    ASSERT_TRUE(
        loads("*INPUT\r\n*OUTPUT\r\n*ATTRIBUTE_TAGS\r\n"
              "  ' a comment\r\n\r\n rev \r\n*SUPPRESS\r\n*\r\n"
              "AFTER\r\n"));
    EXPECT_TRUE(session.suppress());
    EXPECT_EQ(session.tags(), (QStringList{"REV", "*"})) << "a '*' that is not first is a tag";

    ASSERT_TRUE(
        loads("*INPUT\r\n*OUTPUT\r\n*ATTRIBUTE_TAGS\r\n"
              "*\r\n*SUPPRESS\r\n"));
    EXPECT_FALSE(session.suppress()) << "reading stops after '*'";
    EXPECT_EQ(session.tags(), QStringList{"*"});
}

TEST_F(EngineTest, TemplateReadsWindows1252AndUtf8Tags) {
    ASSERT_TRUE(loads("*INPUT\r\n*OUTPUT\r\n*ATTRIBUTE_TAGS\r\n\xe9tage\r\n"));
    EXPECT_EQ(session.tags(), QStringList{QString::fromUtf8("\xc3\x89TAGE")}) << "Windows-1252";
    ASSERT_TRUE(
        loads("*INPUT\r\n*OUTPUT\r\n*ATTRIBUTE_TAGS\r\n"
              "\xc3\xa9tage\r\n"));
    EXPECT_EQ(session.tags(), QStringList{QString::fromUtf8("\xc3\x89TAGE")});
}

}  // namespace
