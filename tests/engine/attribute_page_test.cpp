// SPDX-License-Identifier: GPL-3.0-or-later
// The attribute page of one drawing, as the drawing list's double-click makes it: the page's
// bytes, the status lines on the way, the messages of each failure, and no session left open.

#include "engine/attribute_page.h"

#include <QDir>

#include "engine_fixture.h"
#include "support/fake_clock.h"

namespace {

using Outcome = AttributePageResult::Outcome;

class AttributePageTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir(dir.path()).mkpath("drawings")); }
    QString folder() const { return dir.filePath("drawings"); }
    QString page() const { return dir.filePath("attr.htm"); }

    // A drawing file on disk (the page checks it is there) with one block of `attributes`.
    void addDrawing(const QString& name, int attributes) {
        ASSERT_TRUE(testfiles::write(folder() + "/" + name, "0\r\nEOF\r\n"));
        fake::MemBlock title = block("TITLE", {});
        for (int i = 0; i < attributes; ++i)
            title.attributes.emplace_back(QStringLiteral("T%1").arg(i),
                                          QStringLiteral("v%1").arg(i));
        model->addDrawing(folder() + "/" + name, sheet({title}));
    }
    AttributePageResult run(const QString& name, const QString& pagePath = {}) {
        return writeAttributePage({folder(), name, pagePath.isEmpty() ? page() : pagePath},
                                  model->factory(), ui, clock);
    }

    QTemporaryDir dir;
    std::shared_ptr<fake::MemoryDrawingModel> model = fake::MemoryDrawingModel::create();
    RecordingRunUi ui;
    fake::FakeClock clock{QDateTime(QDate(2024, 3, 5), QTime(23, 59, 59)), 1250};
};

// The page the double-click has always written, to the byte: a gold table, centred, with the
// header rows at both ends in bold and no cell but the value's wrapped.
TEST_F(AttributePageTest, WritesThePageWithItsHeading) {
    addDrawing("Sheet-1.dxf", 2);
    const AttributePageResult result = run("Sheet-1.dxf");
    EXPECT_EQ(result.outcome, Outcome::Written);
    const QString heading = "2 attributes in " + folder() + "/Sheet-1.dxf";
    EXPECT_EQ(result.heading, heading);
    EXPECT_EQ(result.attributes, 2);
    EXPECT_FALSE(result.beep);
    // One clock reading at the start and one at the end, across midnight.
    EXPECT_EQ(result.status, "HTML file created in 1.25 seconds");
    EXPECT_EQ(ui.statuses,
              (QStringList{"Starting AutoCAD...", "Creating HTML file from SHEET-1.DXF..."}));
    EXPECT_EQ(ui.busyChanges, (std::vector<bool>{true, false})) << "hourglass restored";
    const QString headerRow =
        "<TR ALIGN=LEFT NOWRAP><TD><STRONG>Space</STRONG></TD><TD><STRONG>"
        "Block</STRONG></TD><TD><STRONG>Layer</STRONG></TD><TD><STRONG>"
        "BHandle</STRONG></TD><TD><STRONG>Handle</STRONG></TD><TD><STRONG>X"
        "</STRONG></TD><TD><STRONG>Y</STRONG></TD><TD><STRONG>Z</STRONG></TD>"
        "<TD><STRONG>AttributeTag</STRONG></TD><TD><STRONG>AttributeValue"
        "</STRONG></TD></TR>\r\n";
    const QString row =
        "<TR ALIGN=LEFT NOWRAP><TD NOWRAP>MODEL</TD><TD NOWRAP>TITLE</TD><TD "
        "NOWRAP>0</TD><TD NOWRAP>1F</TD><TD NOWRAP></TD><TD NOWRAP>0</TD><TD "
        "NOWRAP>0</TD><TD NOWRAP>0</TD><TD NOWRAP>T%1</TD><TD>v%1</TD></TR>\r\n";
    EXPECT_EQ(QString::fromUtf8(testfiles::read(page())),
              "<HTML>\r\n<HEAD>\r\n<meta charset=\"utf-8\">\r\n<STRONG><CENTER>" + heading +
                  "</CENTER></STRONG><BR>\r\n<TITLE>\r\n" + heading +
                  "\r\n</TITLE>\r\n</HEAD>\r\n<BODY >\r\n<TABLE ALIGN=CENTER BORDER=1 "
                  "CELLSPACING=2 CELLPADDING=2 WIDTH='10%' BGCOLOR='#FFD700' "
                  "BORDERCOLOR='black'><TBODY>\r\n" +
                  headerRow + row.arg(0) + row.arg(1) + headerRow +
                  "</TBODY></TABLE>\r\n</BODY>\r\n</HTML>\r\n\r\n");
    ASSERT_EQ(model->opens.size(), 1u);
    EXPECT_EQ(model->opens[0].password, "") << "the page asks for no password";
    EXPECT_EQ(model->liveDrawings(), 0);
    EXPECT_EQ(attributePagePath("/opt/quillon"), "/opt/quillon/attr.htm");
    EXPECT_EQ(attributePagePath("/opt/quillon/"), "/opt/quillon/attr.htm");
}

TEST_F(AttributePageTest, HeadingCountsTheAttributesOfTheDrawingFoundIgnoringCase) {
    addDrawing("empty.dxf", 0);
    EXPECT_EQ(run("empty.dxf").heading, "0 attributes in " + folder() + "/empty.dxf");
    EXPECT_EQ(testfiles::read(page()).count("<TR "), 2);
    addDrawing("Tank-Farm.DXF", 3);
    const AttributePageResult result = run("tank-farm.dxf");
    EXPECT_EQ(result.outcome, Outcome::Written) << result.status.toStdString();
    EXPECT_EQ(result.heading, "3 attributes in " + folder() + "/Tank-Farm.DXF");
}

// Each failure beeps (but the reader's, which has shown its own message), keeps the page there
// was, restores the hourglass and leaves no drawing open.
TEST_F(AttributePageTest, FailuresAndTheirMessages) {
    addDrawing("broken.dxf", 1);
    addDrawing("a.dxf", 1);
    struct Case {
        const char* name;
        std::optional<fake::Call> failing;
        QString pagePath;
        Outcome outcome;
        QString status;
    };
    const Case cases[] = {
        {"gone.dxf", {}, {}, Outcome::DrawingMissing, "File GONE.DXF not found."},
        {"a.dxf",
         {},
         dir.filePath("missing/attr.htm"),
         Outcome::NotWritten,
         "Error creating HTML file. (No such file or directory)"},
        {"broken.dxf",
         fake::Call::Open,
         {},
         Outcome::OpenFailed,
         "Error opening file. (Memory model told to fail: open)"},
        {"a.dxf", fake::Call::CreateReader, {}, Outcome::NoApplication, "Unable to start AutoCAD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status.toStdString());
        ui = {};
        if (c.failing) model->failOn(*c.failing);
        ASSERT_TRUE(testfiles::write(page(), "previous page"));
        const AttributePageResult result = run(c.name, c.pagePath);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.beep, c.outcome != Outcome::NoApplication);
        EXPECT_EQ(ui.errors.size(), c.outcome == Outcome::NoApplication ? 1 : 0);
        EXPECT_EQ(testfiles::read(page()), "previous page");
        EXPECT_EQ(ui.busyChanges, (std::vector<bool>{true, false})) << "hourglass restored";
        EXPECT_EQ(model->liveDrawings(), 0);
    }
}

}  // namespace
