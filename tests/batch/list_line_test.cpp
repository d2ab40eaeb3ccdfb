// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/list_line.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace {

using batch::LineKind;
using Destination = batch::SendLine::Destination;

TEST(ListLine, KindsOfLines) {
    EXPECT_EQ(batch::kindOf(""), LineKind::Blank);
    EXPECT_EQ(batch::kindOf("' A COMMENT, WITH A COMMA"), LineKind::Comment);
    EXPECT_EQ(batch::kindOf("END"), LineKind::End);
    EXPECT_EQ(batch::kindOf("ENDING"), LineKind::Other);
    EXPECT_EQ(batch::kindOf("EXTRACT TO FILE A,B"), LineKind::Send);
    EXPECT_EQ(batch::kindOf("EXTRACTS"), LineKind::Send) << "the first seven characters decide";
    EXPECT_EQ(batch::kindOf("UPDATE DRAWINGS FROM EXCEL /A.XLSX,SHEET1"), LineKind::Update)
        << "a comma makes no drawing line of it";
    EXPECT_EQ(batch::kindOf("/P/A.DWG,/T/TITLE.TXT"), LineKind::Drawing);
    EXPECT_EQ(batch::kindOf("NO COMMA HERE"), LineKind::Other);
}

TEST(ListLine, HeaderKeywords) {
    const auto all = batch::headerOptions("FULLDWGNAMETS");
    EXPECT_EQ(all.includeName, true);
    EXPECT_EQ(all.fullPath, true);
    EXPECT_EQ(all.timestamp, true);
    const auto none = batch::headerOptions("NODWGNAME");
    EXPECT_EQ(none.includeName, false);
    EXPECT_FALSE(none.fullPath.has_value());
    EXPECT_FALSE(none.timestamp.has_value());
    EXPECT_EQ(batch::headerOptions("DWGNAMETS").timestamp, true);
    EXPECT_EQ(batch::headerOptions("DWGNAMETS").fullPath, false);
    // A piece of the keyword text that is no keyword, or anything else, changes nothing.
    EXPECT_FALSE(batch::headerOptions("DWGNAME DWG").includeName.has_value());
    EXPECT_FALSE(batch::headerOptions("NAME").includeName.has_value());
    EXPECT_FALSE(batch::headerOptions("/P/A.DWG,/T/T.TXT").includeName.has_value());
}

TEST(ListLine, SendLinesReadFieldsFromFixedPositions) {
    auto file = batch::parseSendLine("EXTRACT TO FILE /out/Titles.txt,APPEND,TAGS");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->destination, Destination::File);
    EXPECT_EQ(file->field(0), "/out/Titles.txt") << "letter case as written";
    EXPECT_TRUE(file->fieldIs(1, "APPEND"));
    EXPECT_TRUE(file->tags);

    auto blank = batch::parseSendLine("EXTRACT TO FILE /out/t.txt, APPEND");
    EXPECT_EQ(blank->field(1), " APPEND");
    EXPECT_FALSE(blank->fieldIs(1, "APPEND")) << "fields are not trimmed";
    EXPECT_FALSE(blank->tags);

    auto tagsInName = batch::parseSendLine("EXTRACT TO FILE /out/TAGS");
    EXPECT_TRUE(tagsInName->tags) << "TAGS ending the file name counts too";

    auto excel = batch::parseSendLine("EXTRACT TO EXCEL /out/t.xlsx,SHEET1,3,2");
    EXPECT_EQ(excel->destination, Destination::Excel);
    EXPECT_EQ(excel->fields, (QStringList{"/out/t.xlsx", "SHEET1", "3", "2"}));

    auto access = batch::parseSendLine("extract to access /db/parts.db,Tags,APPEND");
    EXPECT_EQ(access->destination, Destination::Access);
    EXPECT_EQ(access->field(0), "/db/parts.db");
    EXPECT_EQ(access->field(1), "Tags");

    EXPECT_EQ(batch::parseSendLine("EXTRACT TO CLIPBOARD")->destination, Destination::Clipboard);
    EXPECT_EQ(batch::parseSendLine("EXTRACT TO WORD /d.docx,APPEND,TABLE")->field(2), "TABLE");
    EXPECT_FALSE(batch::parseSendLine("EXTRACT SOMEWHERE"));
}

TEST(ListLine, NumbersAndNames) {
    EXPECT_EQ(batch::numericValue("12abc"), 12);
    EXPECT_EQ(batch::numericValue(""), 0);
    EXPECT_EQ(batch::numericValue("x1"), 0);
    EXPECT_EQ(batch::numericValue(" 7"), 7);
    EXPECT_EQ(batch::fileNameOf("/proj/elec/E*"), "E*");
    EXPECT_EQ(batch::fileNameOf("C:\\PROJ\\A.DWG"), "A.DWG");
    const auto line = batch::splitDrawingLine("/p/a.dwg,/t/x,y.txt");
    EXPECT_EQ(line.drawing, "/p/a.dwg");
    EXPECT_EQ(line.templatePath, "/t/x,y.txt");
}

TEST(ListLine, UpdateLinesNameTheirSource) {
    using Source = batch::UpdateLine::Source;
    const struct {
        const char* line;
        bool parsed;
        Source source;
        const char* path;
        const char* part;
        bool planOnly;
    } cases[] = {
        {"UPDATE DRAWINGS FROM FILE /out/Edited.csv", true, Source::File, "/out/Edited.csv", "",
         false},
        {"update drawings from file /out/e.csv , plan", true, Source::File, "/out/e.csv", "", true},
        {"UPDATE DRAWINGS FROM EXCEL /b.xlsx,Revisions,PLAN", true, Source::Excel, "/b.xlsx",
         "Revisions", true},
        {"UPDATE DRAWINGS FROM ACCESS /p.db,Tags", true, Source::Access, "/p.db", "Tags", false},
        {"UPDATE DRAWINGS FROM FILE ", false, Source::File, "", "", false},
        {"UPDATE DRAWINGS FROM WORD /d.docx", false, Source::File, "", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto update = batch::parseUpdateLine(c.line);
        ASSERT_EQ(update.has_value(), c.parsed);
        if (!update) continue;
        EXPECT_EQ(update->source, c.source);
        EXPECT_EQ(update->path, c.path);
        EXPECT_EQ(update->part, c.part);
        EXPECT_EQ(update->planOnly, c.planOnly);
    }
}

}  // namespace
