// SPDX-License-Identifier: GPL-3.0-or-later
// The attribute page of one drawing, as the drawing list's double-click makes it: the status
// lines on the way, the heading, the messages of each failure, and no session left open.

#include "engine/attribute_page.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "support/fake_clock.h"
#include "support/files.h"
#include "support/memory_drawing_model.h"
#include "support/qt_printers.h"

namespace {

class RecordingPageUi : public ExtractionRunUi {
public:
    void processPendingEvents() override {}
    void showError(const QString& caption, const QString& text) override {
        errors << caption + ": " + text;
    }
    void setStatus(const QString& text) override { statuses << text; }
    void setBusy(bool busy) override { busyChanges.push_back(busy); }

    QStringList errors;
    QStringList statuses;
    std::vector<bool> busyChanges;
};

class AttributePageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath("drawings"));
    }
    QString folder() const { return dir.filePath("drawings"); }
    QString page() const { return dir.filePath("attr.htm"); }

    // A drawing file on disk (the page checks it is there) with `drawing` as its content.
    void addDrawing(const QString& name, fake::MemDrawing drawing) {
        ASSERT_TRUE(testfiles::write(folder() + "/" + name, "0\r\nEOF\r\n"));
        model->addDrawing(folder() + "/" + name, std::move(drawing));
    }
    AttributePageResult run(const QString& name) {
        return writeAttributePage({folder(), name, page()}, model->factory(), ui, clock);
    }
    void expectNoSessionLeft() const {
        EXPECT_EQ(model->liveDrawings(), 0);
        EXPECT_EQ(ui.busyChanges, (std::vector<bool>{true, false})) << "hourglass restored";
    }

    QTemporaryDir dir;
    std::shared_ptr<fake::MemoryDrawingModel> model = fake::MemoryDrawingModel::create();
    RecordingPageUi ui;
    fake::FakeClock clock{QDateTime(QDate(2024, 3, 5), QTime(23, 59, 59)), 1250};
};

fake::MemDrawing titleBlock(int attributes) {
    fake::MemBlock title;
    title.name = "TITLE";
    for (int i = 0; i < attributes; ++i) {
        title.attributes.emplace_back(QStringLiteral("T%1").arg(i), QStringLiteral("v%1").arg(i));
    }
    fake::MemDrawing drawing;
    drawing.blocks.push_back(title);
    return drawing;
}

TEST_F(AttributePageTest, WritesThePageWithItsHeading) {
    addDrawing("Sheet-1.dxf", titleBlock(3));
    const AttributePageResult result = run("Sheet-1.dxf");
    EXPECT_EQ(result.outcome, AttributePageResult::Outcome::Written);
    const QString path = folder() + "/Sheet-1.dxf";
    EXPECT_EQ(result.heading, "3 attributes in " + path);
    EXPECT_EQ(result.attributes, 3);
    EXPECT_FALSE(result.beep);
    // One clock reading at the start and one at the end, across midnight.
    EXPECT_EQ(result.status, "HTML file created in 1.25 seconds");
    EXPECT_EQ(ui.statuses,
              (QStringList{"Starting AutoCAD...", "Creating HTML file from SHEET-1.DXF..."}));
    const QByteArray html = testfiles::read(page());
    EXPECT_TRUE(html.contains(("<STRONG><CENTER>3 attributes in " + path +
                               "</CENTER></STRONG><BR>\r\n<TITLE>\r\n3 attributes in " + path +
                               "\r\n</TITLE>")
                                  .toUtf8()))
        << html.toStdString();
    EXPECT_TRUE(
        html.contains("<TABLE ALIGN=CENTER BORDER=1 CELLSPACING=2 CELLPADDING=2 "
                      "WIDTH='10%' BGCOLOR='#FFD700' BORDERCOLOR='black'><TBODY>\r\n"
                      "<TR ALIGN=LEFT NOWRAP><TD><STRONG>Space</STRONG></TD>"));
    EXPECT_EQ(html.count("<TR "), 5);
    EXPECT_EQ(html.count("<STRONG>Space</STRONG>"), 2);
    ASSERT_EQ(model->opens.size(), 1u);
    EXPECT_EQ(model->opens[0].password, "") << "the page asks for no password";
    expectNoSessionLeft();
}

TEST_F(AttributePageTest, HeadingCountsNoAttributes) {
    addDrawing("empty.dxf", titleBlock(0));
    const AttributePageResult result = run("empty.dxf");
    EXPECT_EQ(result.heading, "0 attributes in " + folder() + "/empty.dxf");
    EXPECT_EQ(testfiles::read(page()).count("<TR "), 2);
}

TEST_F(AttributePageTest, FailuresAndTheirMessages) {
    addDrawing("broken.dxf", {});
    model->failOn(fake::Call::Open);
    struct Case {
        const char* name;
        AttributePageResult::Outcome outcome;
        QString status;
    };
    const Case cases[] = {
        {"gone.dxf", AttributePageResult::Outcome::DrawingMissing, "File GONE.DXF not found."},
        {"broken.dxf", AttributePageResult::Outcome::OpenFailed,
         "Error opening file. (Memory model told to fail: open)"},
    };
    for (const Case& c : cases) {
        ui = {};
        ASSERT_TRUE(testfiles::write(page(), "previous page"));
        const AttributePageResult result = run(c.name);
        EXPECT_EQ(result.outcome, c.outcome) << c.name;
        EXPECT_EQ(result.status, c.status) << c.name;
        EXPECT_TRUE(result.beep) << c.name;
        EXPECT_EQ(testfiles::read(page()), "previous page") << c.name;
        expectNoSessionLeft();
    }
}

TEST_F(AttributePageTest, UnwritablePageIsReportedWithItsReason) {
    addDrawing("a.dxf", titleBlock(1));
    const AttributePageResult result = writeAttributePage(
        {folder(), "a.dxf", dir.filePath("missing/attr.htm")}, model->factory(), ui, clock);
    EXPECT_EQ(result.outcome, AttributePageResult::Outcome::NotWritten);
    EXPECT_TRUE(result.status.startsWith("Error creating HTML file. ("))
        << result.status.toStdString();
    EXPECT_TRUE(result.beep);
    expectNoSessionLeft();
}

TEST_F(AttributePageTest, NoReaderSessionNoBeep) {
    model->failOn(fake::Call::CreateReader);
    const AttributePageResult result = run("a.dxf");
    EXPECT_EQ(result.outcome, AttributePageResult::Outcome::NoApplication);
    EXPECT_EQ(result.status, "Unable to start AutoCAD");
    EXPECT_FALSE(result.beep);
    EXPECT_EQ(ui.errors.size(), 1) << "the session's own message";
    EXPECT_EQ(ui.busyChanges, (std::vector<bool>{true, false}));
}

TEST_F(AttributePageTest, ADrawingListedInOtherLetterCaseIsFound) {
    addDrawing("Tank-Farm.DXF", titleBlock(2));
    const AttributePageResult result = run("tank-farm.dxf");
    EXPECT_EQ(result.outcome, AttributePageResult::Outcome::Written) << result.status.toStdString();
    EXPECT_EQ(result.heading, "2 attributes in " + folder() + "/Tank-Farm.DXF");
}

TEST(AttributePagePath, InTheProgramFolder) {
    EXPECT_EQ(attributePagePath("/opt/quillon"), "/opt/quillon/attr.htm");
    EXPECT_EQ(attributePagePath("/opt/quillon/"), "/opt/quillon/attr.htm");
}

}  // namespace
