// SPDX-License-Identifier: GPL-3.0-or-later
// Real drawings through the real reader: drawings AutoCAD wrote in eleven releases and the
// bundled examples, extracted and put on the attribute page, and the page shown in a browser.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include "drawing/drawing_file_reader.h"
#include "engine/attribute_page.h"
#include "engine/extraction_run.h"
#include "support/fake_clock.h"
#include "support/files.h"
#include "support/qt_printers.h"

namespace {

const QString kAutocad = QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/autocad");
const QString kExamples = QStringLiteral(QUILLON_FIXTURES_DIR "/../../examples");

class RealDrawings : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(kAutocad).exists()) << "no test drawings at " << kAutocad.toStdString();
        QDir(dir.path()).mkpath("dwg");
    }
    // Copies the AutoCAD drawing `name` into the scratch folder's dwg/, unpacking a DXF file
    // kept compressed; the name it has there.
    QString copied(const QString& name) {
        QByteArray bytes = testfiles::read(kAutocad + "/" + name);
        if (!QFile::exists(kAutocad + "/" + name)) {
            QProcess gzip;
            gzip.start("gzip", {"-dc", kAutocad + "/" + name + ".gz"});
            EXPECT_TRUE(gzip.waitForFinished(60000));
            bytes = gzip.readAllStandardOutput();
        }
        EXPECT_FALSE(bytes.isEmpty()) << name.toStdString();
        EXPECT_TRUE(testfiles::write(dir.filePath("dwg/" + name), bytes));
        return name;
    }
    ExtractionRunResult run(const QByteArray& templateText, const QStringList& drawings,
                            const QString& folder = {}) {
        testfiles::write(dir.filePath("template.txt"), templateText);
        ExtractionRunRequest request;
        request.programFolder = dir.path();
        request.templateFolder = dir.path();
        request.templateName = "template.txt";
        request.drawingFolder = folder.isEmpty() ? dir.filePath("dwg") : folder;
        request.drawingNames = drawings;
        return runExtraction(request, drawing::drawingFileReaderFactory(), ui, clock);
    }
    // The attribute page of `name` in `folder`, with the drawing's path in its heading and title
    // put as PATH so pages of different files compare.
    QByteArray pageOf(const QString& folder, const QString& name, AttributePageResult* out = {}) {
        const AttributePageResult result =
            writeAttributePage({folder, name, dir.filePath("attr.htm")},
                               drawing::drawingFileReaderFactory(), ui, clock);
        EXPECT_EQ(result.outcome, AttributePageResult::Outcome::Written)
            << name.toStdString() << ": " << result.status.toStdString();
        if (out) *out = result;
        return testfiles::read(dir.filePath("attr.htm"))
            .replace(result.drawingPath.toUtf8(), "PATH");
    }

    QTemporaryDir dir;
    QuietRunUi ui;
    fake::FakeClock clock;
};

// The two references of block "bloko" the AutoCAD sample holds, alike in the DXF and the DWG
// file of every release. R13 and R14 store the names in capitals; the release that saved these
// samples down kept the names it shows beside them, and the records carry those. The oldest
// releases open and hold no such block; a cut-off copy is an open failure that does not stop
// the run.
TEST_F(RealDrawings, EveryReleaseGivesTheSameTwoBlocks) {
    QStringList names;
    for (const char* release : {"2000", "2004", "2007", "2010", "2013", "2018"})
        names << copied(QStringLiteral("example_%1.dxf").arg(release))
              << copied(QStringLiteral("example_%1.dwg").arg(release));
    names << copied("example_r13.dwg") << copied("example_r14.dwg");
    names.insert(5, "cut.dwg");
    const QByteArray bytes = testfiles::read(kAutocad + "/example_2010.dwg");
    ASSERT_TRUE(testfiles::write(dir.filePath("dwg/cut.dwg"), bytes.left(bytes.size() / 2)));
    const QStringList oldest = {copied("entities-2d_r11.dwg"), copied("tmp_line_r10.dwg"),
                                copied("block_r2.10.dwg")};
    const ExtractionRunResult result =
        run("*INPUT\r\nBLOCK: bloko\r\n*OUTPUT\r\nBLOCK_NAME\r\nBLOCK_LAYER\r\nBLOCK_SPACE\r\n"
            "BLOCK_HANDLE\r\nBLOCK_ROTATION\r\nBLOCK_XSCALE\r\nBLOCK_YSCALE\r\nBLOCK_X\r\n"
            "BLOCK_Y\r\nBLOCK_Z\r\n*ATTRIBUTE_TAGS\r\nETIKEDO\r\n",
            oldest + names);
    const QStringList blocks = {
        "'bloko','Tavolo 3','MODEL','190','0','1','1','3642.137','6066.05','0',"
        "'valoro de la teksto en bloko'",
        "'bloko','Tavolo 3','MODEL','756','5.43397650990976','3256.51775698584',"
        "'-1843.49201867684','0','0','0','valoro'"};
    QStringList expected;
    names.removeAll("cut.dwg");
    for (const QString& name : names)
        for (const QString& block : blocks) expected << "'" + name.toUpper() + "'," + block;
    EXPECT_EQ(result.records, expected);
    EXPECT_EQ(result.drawingsExtracted, names.size());
    EXPECT_EQ(result.drawingsFailed, 1);
    EXPECT_TRUE(testfiles::read(dir.filePath("err.log"))
                    .contains("Error opening file CUT.DWG. (the file is truncated)"));
    ASSERT_EQ(result.sources.size(), 28u);
    EXPECT_EQ(
        result.sources.back(),
        (RecordSource{
            dir.filePath("dwg/example_r14.dwg"), "MODEL", "bloko", "756", {{"ETIKEDO", "757"}}}));
    EXPECT_EQ(testfiles::read(dir.filePath("extract.txt")),
              "HEADER:'BLOCK_NAME','BLOCK_LAYER','BLOCK_SPACE','BLOCK_HANDLE','BLOCK_ROTATION',"
              "'BLOCK_XSCALE','BLOCK_YSCALE','BLOCK_X','BLOCK_Y','BLOCK_Z','ETIKEDO'\r\n" +
                  blocks.join("\r\n").toUtf8() + "\r\n");
}

TEST_F(RealDrawings, BundledExamplesGiveEveryTitleBlock) {
    const ExtractionRunResult result =
        run(testfiles::read(kExamples + "/titleblock.txt"),
            {"boiler-feed.dxf", "cooling-water.dxf", "tank-farm.dxf"}, kExamples);
    EXPECT_EQ(result.drawingsExtracted, 3);
    ASSERT_EQ(result.records.size(), 4);
    EXPECT_TRUE(result.records[0].startsWith("'BOILER-FEED.DXF','TITLE','"));
    EXPECT_TRUE(result.records[0].endsWith("'PID-1002','Boiler feed water, sheet 1','A'"));
    EXPECT_TRUE(result.records[1].endsWith("'PID-1003','Boiler feed water, sheet 2','A'"));
    EXPECT_TRUE(result.records[3].endsWith("'PID-2001','Tank farm transfer','B'"));
}

// The page goes through the real reader as the extraction does: a DWG and its DXF twin give the
// same page.
TEST_F(RealDrawings, DwgAndItsDxfTwinGiveTheSamePage) {
    AttributePageResult fromDwg;
    const QByteArray page = pageOf(kAutocad, "gh209_1_2010.dwg", &fromDwg);
    EXPECT_EQ(page, pageOf(dir.filePath("dwg"), copied("gh209_1_2010.dxf")));
    EXPECT_EQ(fromDwg.attributes, 3);
    EXPECT_EQ(page.count("<TR "), 5);
    EXPECT_TRUE(page.contains("<TD NOWRAP>MODEL</TD>"));
    EXPECT_TRUE(page.contains("<TD>9456/23</TD>")) << page.toStdString();
}

// Loaded in a real browser, the page shows one row per attribute, every value as text.
TEST_F(RealDrawings, PageShownInABrowserOneRowPerAttributeEveryValueAsText) {
    // The browser under test: Debian's chromium, or another Chromium build on the path.
    QString browser;
    for (const char* name : {"chromium", "chromium-browser", "google-chrome", "chrome"})
        if (browser.isEmpty()) browser = QStandardPaths::findExecutable(name);
    if (browser.isEmpty()) {
        GTEST_SKIP() << "Chromium is not installed (Debian: apt-get install chromium), so the "
                        "page was not checked in a browser";
    }
    // A real drawing with a value made to look like markup, and characters outside Latin-1.
    QByteArray dxf = testfiles::read(kExamples + "/tank-farm.dxf");
    ASSERT_TRUE(dxf.contains("\nTransfer pump\r\n"));
    dxf.replace("Transfer pump",
                "<script>document.body.innerHTML='replaced'</script> & <b>bold</b> \\U+00D8 "
                "\\U+03A9 \\U+56F3");
    ASSERT_TRUE(testfiles::write(dir.filePath("tank-farm.dxf"), dxf));
    AttributePageResult result;
    pageOf(dir.path(), "tank-farm.dxf", &result);
    ASSERT_EQ(result.attributes, 11);

    QProcess process;
    // The sandbox cannot start as root (test containers); the page is our own local file.
    process.start(browser, {"--headless", "--no-sandbox", "--disable-gpu",
                            "--user-data-dir=" + dir.filePath("profile"), "--dump-dom",
                            QUrl::fromLocalFile(dir.filePath("attr.htm")).toString()});
    if (!process.waitForFinished(120000)) process.kill();
    const QString dom = QString::fromUtf8(process.readAllStandardOutput());
    ASSERT_FALSE(dom.isEmpty()) << "the browser did not finish";
    EXPECT_EQ(dom.count(QRegularExpression("<tr[ >]")), 13) << dom.toStdString();
    EXPECT_FALSE(dom.contains("<script")) << "a value became markup";
    EXPECT_FALSE(dom.contains("<b>"));
    EXPECT_TRUE(
        dom.contains("<td>&lt;script&gt;document.body.innerHTML='replaced'&lt;/script&gt;"
                     " &amp; &lt;b&gt;bold&lt;/b&gt; Ø Ω 図</td>"))
        << dom.toStdString();
    for (const char* value :
         {"P-501", "V-501", "V-502", "PID-2001", "Tank farm transfer", "L. ROSSI"}) {
        EXPECT_TRUE(dom.contains(QStringLiteral(">%1</td>").arg(value))) << value;
    }
    EXPECT_TRUE(dom.contains("<title>\n11 attributes in " + dir.filePath("tank-farm.dxf")))
        << "the title as the browser reads it";
}

}  // namespace
