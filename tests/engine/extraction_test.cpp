// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine_fixture.h"

namespace {

using drawingapi::Space;
using fake::Call;
using fake::MemAttribute;
using fake::MemBlock;
using fake::MemDrawing;

const QByteArray kTitleTemplate =
    "*INPUT\r\nBLOCK: TITLE\r\n*OUTPUT\r\nBLOCK_NAME\r\nBLOCK_SPACE\r\n*ATTRIBUTE_TAGS\r\n"
    "DWGNO\r\nREV\r\n";

MemDrawing titleSheet() {
    return sheet({block("title", {{"DWGNO", "A-101"}, {"REV", "C"}}, true)});
}

MemBlock failing(const QString& property, MemBlock b) {
    b.failingProperties = {property};
    return b;
}

using Listings = std::vector<fake::BlockReferencesCall>;

const QByteArray kHeader = "HEADER:'BLOCK_NAME','BLOCK_SPACE','DWGNO','REV'\r\n";

// Each case replaces an older extract file: a run never appends to the last one.
TEST_F(EngineTest, ExtractFileFollowsTheTemplate) {
    MemBlock saysAttributes = block("E", {});
    saysAttributes.hasAttributes = true;
    // References to dynamic blocks carry a name of their own; the template names the block.
    MemBlock u12 = block("*U12", {{"DWGNO", "dynamic"}});
    u12.effectiveName = "Title";
    MemBlock u13 = block("*U13", {{"DWGNO", "other"}});
    u13.effectiveName = "BORDER";
    const MemDrawing dynamic = sheet(
        {u12, block("TITLE", {{"DWGNO", "plain"}}), u13, block("*U14", {{"DWGNO", "own name"}})});
    struct Case {
        const char* what;
        QByteArray templateText;
        MemDrawing drawing;
        QByteArray expected;
        std::optional<Listings> listings = {};  // the drawing's listings asked for
    };
    const Case cases[] = {
        {"the exact byte form", kTitleTemplate, titleSheet(),
         kHeader + "'title','PAPER','A-101','C'\r\n"},
        {"model space before paper space", kTitleTemplate,
         sheet({block("TITLE", {{"DWGNO", "paper"}}, true), block("TITLE", {{"DWGNO", "model"}})}),
         kHeader + "'TITLE','MODEL','model','N/A'\r\n'TITLE','PAPER','paper','N/A'\r\n"},
        {"values written without escaping", kTitleTemplate,
         sheet({block("TITLE", {{"DWGNO", "it's','odd"}, {"REV", ""}})}),
         kHeader + "'TITLE','MODEL','it's','odd',''\r\n"},
        {"a missing tag is N/A, tags matched ignoring case", kTitleTemplate,
         sheet({block("TITLE", {{"rev", "B"}})}), kHeader + "'TITLE','MODEL','N/A','B'\r\n"},
        {"the first of two attributes with one tag wins", kTitleTemplate,
         sheet({block("TITLE", {{"REV", "first"}, {"DWGNO", "1"}, {"REV", "second"}})}),
         kHeader + "'TITLE','MODEL','1','first'\r\n"},
        {"suppress drops blocks without a listed tag", kTitleTemplate + "*SUPPRESS\r\n",
         sheet({block("TITLE", {{"OTHER", "x"}}), block("TITLE", {{"REV", "A"}})}),
         kHeader + "'TITLE','MODEL','N/A','A'\r\n"},
        // A block without attributes is never written.
        {"nothing matched: an empty file without header", kTitleTemplate,
         sheet({block("OTHER", {{"DWGNO", "x"}}), block("TITLE", {})}), ""},
        {"space filter walks one space",
         "*INPUT\r\nSPACE: model\r\n*OUTPUT\r\n*ATTRIBUTE_TAGS\r\nA\r\n",
         sheet({block("T", {{"A", "paper"}}, true), block("T", {{"A", "model"}})}),
         "HEADER:'A'\r\n'model'\r\n", Listings{{Space::Model, ""}}},
        {"unknown space walks nothing",
         "*INPUT\r\nSPACE: LAYOUT1\r\n*OUTPUT\r\n*ATTRIBUTE_TAGS\r\nDWGNO\r\n", titleSheet(), "",
         Listings{}},
        // Several layers are tested by the engine: the drawing lists every reference of a space.
        {"block and layer lists ignore case and never match part names",
         "*INPUT\r\nBLOCK: title, rev,*\r\nLAYER: 0,hidden\r\n"
         "*OUTPUT\r\n*ATTRIBUTE_TAGS\r\nDWGNO\r\n",
         sheet({block("TitleBlock", {{"DWGNO", "part name"}}), block("Title", {{"DWGNO", "one"}}),
                block("REV", {{"DWGNO", "two"}}, false, "1F", "Hidden"),
                block("*", {{"DWGNO", "star"}})}),
         "HEADER:'DWGNO'\r\n'one'\r\n'two'\r\n'star'\r\n",
         Listings{{Space::Model, ""}, {Space::Paper, ""}}},
        // The block name stays out of the listing: a reference to a dynamic block is named
        // "*U<n>" and is found by its effective name, which a drawing's listing does not test.
        {"one layer narrows the drawing's listing",
         "*INPUT\r\nBLOCK:  Title \r\nLAYER: Border\r\n*OUTPUT\r\n*ATTRIBUTE_TAGS\r\nDWGNO\r\n",
         titleSheet(), "", Listings{{Space::Model, "BORDER"}, {Space::Paper, "BORDER"}}},
        {"dynamic blocks found and named by their effective name",
         "*INPUT\r\nBLOCK: TITLE,*U14\r\n*OUTPUT\r\nBLOCK_HANDLE\r\nBLOCK_EFFECTIVENAME\r\n"
         "BLOCK_NAME\r\n*ATTRIBUTE_TAGS\r\nDWGNO\r\n",
         dynamic,
         "HEADER:'BLOCK_NAME','BLOCK_EFFECTIVENAME','BLOCK_HANDLE','DWGNO'\r\n"
         "'*U12','Title','1F','dynamic'\r\n'TITLE','TITLE','1F','plain'\r\n"
         "'*U14','*U14','1F','own name'\r\n"},
        {"without the effective name column the file keeps its form", kTitleTemplate, dynamic,
         kHeader + "'*U12','MODEL','dynamic','N/A'\r\n'TITLE','MODEL','plain','N/A'\r\n"},
        {"output fields in their own spelling, ignoring case and blanks, each once",
         "*INPUT\r\n*OUTPUT\r\n  block_handle \r\nBLOCK_NAME\r\nBLOCK_NAME\r\n"
         "BLOCK_HASEXTENSIONDICTIONARY\r\nBLOCK_COLOUR\r\n*ATTRIBUTE_TAGS\r\nDWGNO\r\n",
         titleSheet(), "HEADER:'BLOCK_NAME','BLOCK_HANDLE','DWGNO'\r\n'title','1F','A-101'\r\n"},
        {"empty block list matches nothing",
         "*INPUT\r\nBLOCK:\r\n*OUTPUT\r\n*ATTRIBUTE_TAGS\r\nDWGNO\r\n", titleSheet(), ""},
        {"all tags: each block's own",
         "*INPUT\r\n*OUTPUT\r\nBLOCK_NAME\r\n*ATTRIBUTE_TAGS\r\n*\r\n",
         sheet({block("A", {{"X", "1"}, {"Y", "2"}}), block("B", {{"Z", "3"}})}),
         "HEADER:'BLOCK_NAME','X','Y'\r\n'A','1','2'\r\n'B','3'\r\n"},
        {"all tags of no attribute: the header alone and an empty record",
         "*INPUT\r\n*OUTPUT\r\n*ATTRIBUTE_TAGS\r\n*\r\n", sheet({saysAttributes}),
         "HEADER:\r\n\r\n"},
        {"the same suppressed: nothing matched",
         "*INPUT\r\n*OUTPUT\r\n*ATTRIBUTE_TAGS\r\n*SUPPRESS\r\n*\r\n", sheet({saysAttributes}), ""},
        // A failing call skips its own step; the drawing completes.
        {"failing calls", "*INPUT\r\n*OUTPUT\r\nBLOCK_COLOR\r\n*ATTRIBUTE_TAGS\r\nDWGNO\r\n",
         sheet({failing("color", block("TITLE", {{"DWGNO", "1"}})),
                failing("name", block("TITLE", {{"DWGNO", "2"}})),
                failing("attributes", block("TITLE", {{"DWGNO", "3"}})),
                failing("hasAttributes", block("TITLE", {{"DWGNO", "4"}})),
                block("TITLE", {{"DWGNO", "5", "", true}}),
                block("TITLE", {{"DWGNO", "6", "", false, true}}),
                block("TITLE", {{"DWGNO", "7"}})}),
         "HEADER:'BLOCK_COLOR','DWGNO'\r\n'','1'\r\n'256','2'\r\n'256','N/A'\r\n"
         "'256','N/A'\r\n'256',''\r\n'256','7'\r\n"},
        {"a failing name read does not pass a named filter",
         "*INPUT\r\nBLOCK: TITLE REV\r\n*OUTPUT\r\n*ATTRIBUTE_TAGS\r\nDWGNO\r\n",
         sheet({failing("name", block("TITLE", {{"DWGNO", "1"}})), block("REV", {{"DWGNO", "2"}})}),
         "HEADER:'DWGNO'\r\n'2'\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        model->listings.clear();
        testfiles::write(extractPath(), "old content");
        EXPECT_EQ(run(c.templateText, c.drawing), c.expected);
        if (c.listings) {
            EXPECT_EQ(model->listings, *c.listings);
        }
    }
}

TEST_F(EngineTest, EveryPropertyColumnInItsFixedOrderAndTextForm) {
    MemBlock b = block("TITLE", {{"DWGNO", "1"}}, false, "2A7", "TB");
    b.ownerId = 2130567352;
    b.objectId = 2130567360;
    b.objectName = "AcDbMInsertBlock";
    b.color = 0;
    b.linetype = "ByBlock";
    b.rotation = 0.5235987755982988;
    b.visible = false;
    b.xScale = 3256.5;
    b.yScale = -1843.5;
    b.zScale = 1;
    b.linetypeScale = 0.25;
    b.lineweight = 35;
    b.hasExtensionDictionary = true;
    b.insertionPoint = {12345678.0, -0.0, 0.1};
    QByteArray output = "*INPUT\r\n*OUTPUT\r\n";
    // Backwards: the order in the file does not matter.
    for (auto name = DrawingSession::kFieldNames.rbegin();
         name != DrawingSession::kFieldNames.rend(); ++name) {
        output += QByteArray(*name) + "\r\n";
    }
    output += "*ATTRIBUTE_TAGS\r\nDWGNO\r\n";
    const QByteArray text = run(output, sheet({b}));
    const QList<QByteArray> lines = text.split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0],
              "HEADER:'BLOCK_NAME','BLOCK_EFFECTIVENAME','BLOCK_LAYER','BLOCK_SPACE',"
              "'BLOCK_OWNERID','BLOCK_OBJECTID',"
              "'BLOCK_OBJECTNAME','BLOCK_HANDLE','BLOCK_COLOR','BLOCK_LINETYPE','BLOCK_ROTATION',"
              "'BLOCK_VISIBLE','BLOCK_XSCALE','BLOCK_YSCALE','BLOCK_ZSCALE',"
              "'BLOCK_LINETYPESCALE','BLOCK_LINEWEIGHT','BLOCK_HASEXTENTIONDICTIONARY','BLOCK_X',"
              "'BLOCK_Y','BLOCK_Z','DWGNO'\r");
    EXPECT_EQ(lines[1],
              "'TITLE','TITLE','TB','MODEL','2130567352','2130567360','AcDbMInsertBlock','2A7','0',"
              "'ByBlock','0.523598775598299','False','3256.5','-1843.5','1','0.25','35','True',"
              "'1.234568E+07','0','0.1','1'\r");
}

TEST_F(EngineTest, FailingListingYieldsNothingButSucceeds) {
    model->failOn(Call::BlockReferences);
    EXPECT_EQ(run(kTitleTemplate, titleSheet()), "");
    EXPECT_EQ(model->listings.size(), 2u) << "both spaces are still asked for";
}

// Each record knows where it came from: the block reference's space, name and handle, and the
// handle of each attribute field (none for a tag the block lacks), so edited values can go back.
TEST_F(EngineTest, RecordsKnowTheirBlockAndAttributes) {
    const MemBlock title =
        block("TITLE", {{"DWGNO", "A-101", "2B"}, {"dwgno", "A-102", "2C"}}, true, "2A");
    const MemBlock pump = block("PUMP", {{"TAG", "P-1", "31"}}, false, "30");
    run("*INPUT\r\n*OUTPUT\r\n*ATTRIBUTE_TAGS\r\nDWGNO\r\nTAG\r\n", sheet({title, pump}));
    ASSERT_EQ(records.records.size(), 2u);
    EXPECT_EQ(ui.pendingEventRuns, 2) << "events run once per block reference";
    auto describe = [](const RecordSource& source) {
        QStringList fields{source.space, source.blockName, source.blockHandle};
        for (const AttributeSource& attribute : source.attributes)
            fields << attribute.tag + "=" + attribute.handle;
        return fields.join(' ');
    };
    EXPECT_EQ(describe(records.records[0].source), "MODEL PUMP 30 DWGNO= TAG=31");
    EXPECT_EQ(describe(records.records[1].source), "PAPER TITLE 2A DWGNO=2B TAG=")
        << "the first of two attributes of one tag, as its field holds";

    run("*INPUT\r\n*OUTPUT\r\n*ATTRIBUTE_TAGS\r\n*\r\n", sheet({title}));
    ASSERT_EQ(records.records.size(), 1u);
    EXPECT_EQ(describe(records.records[0].source), "PAPER TITLE 2A DWGNO=2B dwgno=2C")
        << "every attribute in its order";
}

TEST_F(EngineTest, ExtractFileThatCannotBeCreated) {
    model->addDrawing("a.dwg", titleSheet());
    ASSERT_TRUE(loads(kTitleTemplate));
    ASSERT_TRUE(session.start().ok());
    ASSERT_TRUE(session.openDrawing("a.dwg").ok());
    const auto extracted = session.extractAttributes(dir.filePath("no/such/folder/extract.txt"));
    ASSERT_FALSE(extracted.ok());
    EXPECT_EQ(extracted.error().description, "Unable to create extract file.");
    EXPECT_TRUE(model->listings.empty()) << "nothing is read from the drawing";
}

}  // namespace
