// SPDX-License-Identifier: GPL-3.0-or-later
// Real drawings through the real reader and the extraction run: drawings AutoCAD wrote in six
// releases, and the bundled examples.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "drawing/drawing_file_reader.h"
#include "engine/extraction_run.h"
#include "support/fake_clock.h"
#include "support/files.h"
#include "support/qt_printers.h"

namespace {

const QString kAutocad = QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/autocad");
const QString kExamples = QStringLiteral(QUILLON_FIXTURES_DIR "/../../examples");

class QuietRunUi : public ExtractionRunUi {
public:
    void processPendingEvents() override {}
    void showError(const QString&, const QString&) override {}
    void setStatus(const QString&) override {}
    void setBusy(bool) override {}
};

class RealDrawings : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath("dwg");
    }
    // The AutoCAD drawings as DXF files in the scratch folder (the large ones are gzip files).
    void unpackAutocadDrawings() {
        ASSERT_TRUE(QDir(kAutocad).exists()) << "no test drawings at " << kAutocad.toStdString();
        for (const QString& name : QDir(kAutocad).entryList({"*.dxf", "*.dxf.gz"})) {
            QByteArray bytes = testfiles::read(kAutocad + "/" + name);
            QString target = name;
            if (name.endsWith(".gz")) {
                QProcess gzip;
                gzip.start("gzip", {"-dc", kAutocad + "/" + name});
                ASSERT_TRUE(gzip.waitForFinished(60000));
                bytes = gzip.readAllStandardOutput();
                target.chop(3);
            }
            ASSERT_TRUE(testfiles::write(dir.filePath("dwg/" + target), bytes));
        }
    }
    ExtractionRunResult run(const QByteArray& templateText, const QStringList& drawings,
                            const QString& folder) {
        testfiles::write(dir.filePath("template.txt"), templateText);
        ExtractionRunRequest request;
        request.programFolder = dir.path();
        request.templateFolder = dir.path();
        request.templateName = "template.txt";
        request.drawingFolder = folder;
        request.drawingNames = drawings;
        return runExtraction(request, drawing::drawingFileReaderFactory(), ui, clock);
    }

    QTemporaryDir dir;
    QuietRunUi ui;
    fake::FakeClock clock;
};

const QByteArray kBlokoTemplate =
    "*INPUT\r\nBLOCK: bloko\r\n*OUTPUT\r\nBLOCK_NAME\r\nBLOCK_LAYER\r\nBLOCK_SPACE\r\n"
    "BLOCK_HANDLE\r\nBLOCK_ROTATION\r\nBLOCK_XSCALE\r\nBLOCK_YSCALE\r\nBLOCK_X\r\n"
    "BLOCK_Y\r\nBLOCK_Z\r\n*ATTRIBUTE_TAGS\r\nETIKEDO\r\n";

// The two references of block "bloko" the AutoCAD sample holds, as records of `names`.
QStringList blokoRecords(const QStringList& names) {
    QStringList expected;
    for (const QString& name : names) {
        const QString field = "'" + name.toUpper() + "',";
        expected << field +
                        "'bloko','Tavolo 3','MODEL','190','0','1','1','3642.137','6066.05','0',"
                        "'valoro de la teksto en bloko'"
                 << field +
                        "'bloko','Tavolo 3','MODEL','756','5.43397650990976',"
                        "'3256.51775698584','-1843.49201867684','0','0','0','valoro'";
    }
    return expected;
}

TEST_F(RealDrawings, EveryReleaseGivesTheSameTwoBlocks) {
    unpackAutocadDrawings();
    const QStringList releases = {"example_2000.dxf", "example_2004.dxf", "example_2007.dxf",
                                  "example_2010.dxf", "example_2013.dxf", "example_2018.dxf"};
    const ExtractionRunResult result = run(kBlokoTemplate, releases, dir.filePath("dwg"));
    EXPECT_EQ(result.drawingsExtracted, 6);
    EXPECT_TRUE(result.lastError.isEmpty()) << result.lastError.toStdString();
    EXPECT_EQ(result.records, blokoRecords(releases));
    EXPECT_EQ(testfiles::read(dir.filePath("extract.txt")),
              "HEADER:'BLOCK_NAME','BLOCK_LAYER','BLOCK_SPACE','BLOCK_HANDLE','BLOCK_ROTATION',"
              "'BLOCK_XSCALE','BLOCK_YSCALE','BLOCK_X','BLOCK_Y','BLOCK_Z','ETIKEDO'\r\n"
              "'bloko','Tavolo 3','MODEL','190','0','1','1','3642.137','6066.05','0',"
              "'valoro de la teksto en bloko'\r\n"
              "'bloko','Tavolo 3','MODEL','756','5.43397650990976','3256.51775698584',"
              "'-1843.49201867684','0','0','0','valoro'\r\n");
}

TEST_F(RealDrawings, AllTagsFormOnAttributesOnLayerZero) {
    unpackAutocadDrawings();
    const ExtractionRunResult result =
        run("*INPUT\r\nLAYER: Symbol_Work, Symbol_Border\r\n*OUTPUT\r\nBLOCK_NAME\r\nBLOCK_X\r\n"
            "*ATTRIBUTE_TAGS\r\n*\r\n",
            {"gh209_1_2010.dxf", "entities-2d_2000.dxf"}, dir.filePath("dwg"));
    EXPECT_EQ(result.records,
              (QStringList{"'GH209_1_2010.DXF','symbol_work','7.735766','888'",
                           "'GH209_1_2010.DXF','symbol_work','7.311109','456'",
                           "'GH209_1_2010.DXF','symbol_border','7.439021','9456/23'"}));
    EXPECT_EQ(result.drawingsExtracted, 1) << "entities-2d's block is on layer 0";
    EXPECT_EQ(testfiles::read(dir.filePath("extract.txt")), "")
        << "the last drawing matched nothing";
}

TEST_F(RealDrawings, EveryDwgReleaseGivesWhatItsDxfTwinGives) {
    const QStringList releases = {"example_2000.dwg", "example_2004.dwg", "example_2007.dwg",
                                  "example_2010.dwg", "example_2013.dwg", "example_2018.dwg"};
    // Copied beside a cut-off copy, which is an open failure that does not stop the run.
    for (const QString& name : releases)
        ASSERT_TRUE(QFile::copy(kAutocad + "/" + name, dir.filePath("dwg/" + name)));
    const QByteArray bytes = testfiles::read(kAutocad + "/example_2010.dwg");
    ASSERT_TRUE(testfiles::write(dir.filePath("dwg/cut.dwg"), bytes.left(bytes.size() / 2)));
    QStringList names = releases;
    names.insert(3, "cut.dwg");
    names << "cut.dwg";
    const ExtractionRunResult result = run(kBlokoTemplate, names, dir.filePath("dwg"));
    EXPECT_EQ(result.drawingsExtracted, 6);
    EXPECT_EQ(result.records, blokoRecords(releases));
    EXPECT_EQ(result.lastError, "Error opening file CUT.DWG. (the file is truncated)");
    const QByteArray log = testfiles::read(dir.filePath("err.log"));
    EXPECT_EQ(log.count("\r\n"), 2);
    EXPECT_TRUE(log.contains("Error opening file CUT.DWG. (the file is truncated)"));
}

// R13 and R14 store the block and layer names in capitals; the release that saved these samples
// down kept the names it shows beside them, and the records carry those, as every later release
// gives them. The twins were written with the stored names and agree on everything else.
TEST_F(RealDrawings, R13AndR14DwgGiveWhatTheirDxfTwinsGive) {
    unpackAutocadDrawings();
    const QStringList drawings = {"example_r13.dwg", "example_r14.dwg"};
    for (const QString& name : drawings)
        ASSERT_TRUE(QFile::copy(kAutocad + "/" + name, dir.filePath("dwg/" + name)));
    const ExtractionRunResult fromDxf =
        run(kBlokoTemplate, {"example_r13.dxf", "example_r14.dxf"}, dir.filePath("dwg"));
    ASSERT_EQ(fromDxf.records.size(), 4);
    const ExtractionRunResult fromDwg = run(kBlokoTemplate, drawings, dir.filePath("dwg"));
    EXPECT_EQ(fromDwg.drawingsExtracted, 2);
    EXPECT_TRUE(fromDwg.lastError.isEmpty()) << fromDwg.lastError.toStdString();
    QStringList expected = fromDxf.records;
    expected.replaceInStrings(".DXF'", ".DWG'");
    expected.replaceInStrings("'BLOKO','TAVOLO_3'", "'bloko','Tavolo 3'");
    EXPECT_EQ(fromDwg.records, expected);
    EXPECT_EQ(fromDwg.records, blokoRecords(drawings));
}

// R11/R12 and R10 keep no handles here: every column and tag is compared with the twins'.
TEST_F(RealDrawings, R12AndOlderDwgGiveWhatTheirDxfTwinsGive) {
    unpackAutocadDrawings();
    const QStringList drawings = {"entities-2d_r11.dwg", "tmp_line_r10.dwg", "block_r2.10.dwg"};
    for (const QString& name : drawings)
        ASSERT_TRUE(QFile::copy(kAutocad + "/" + name, dir.filePath("dwg/" + name)));
    const QByteArray everyColumn =
        "*INPUT\r\nLAYER: 0\r\n*OUTPUT\r\nBLOCK_NAME\r\nBLOCK_EFFECTIVENAME\r\nBLOCK_LAYER\r\n"
        "BLOCK_SPACE\r\nBLOCK_HANDLE\r\nBLOCK_OBJECTID\r\nBLOCK_OBJECTNAME\r\nBLOCK_OWNERID\r\n"
        "BLOCK_COLOR\r\nBLOCK_LINETYPE\r\nBLOCK_LINETYPESCALE\r\nBLOCK_LINEWEIGHT\r\n"
        "BLOCK_VISIBLE\r\nBLOCK_HASEXTENTIONDICTIONARY\r\nBLOCK_ROTATION\r\nBLOCK_XSCALE\r\n"
        "BLOCK_YSCALE\r\nBLOCK_ZSCALE\r\nBLOCK_X\r\nBLOCK_Y\r\nBLOCK_Z\r\n*ATTRIBUTE_TAGS\r\n*\r\n";
    const ExtractionRunResult fromDxf =
        run(everyColumn, {"entities-2d_r11.dxf", "tmp_line_r10.dxf", "block_r2.10.dxf"},
            dir.filePath("dwg"));
    ASSERT_EQ(fromDxf.records.size(), 1) << "only BLOCK2 has an attribute";
    const ExtractionRunResult fromDwg = run(everyColumn, drawings, dir.filePath("dwg"));
    EXPECT_TRUE(fromDwg.lastError.isEmpty()) << fromDwg.lastError.toStdString();
    EXPECT_EQ(fromDwg.drawingsExtracted, fromDxf.drawingsExtracted);
    QStringList expected = fromDxf.records;
    expected.replaceInStrings(".DXF'", ".DWG'");
    EXPECT_EQ(fromDwg.records, expected);
    EXPECT_EQ(fromDwg.records.value(0).section(u',', 0, 2),
              "'ENTITIES-2D_R11.DWG','BLOCK2','BLOCK2'");
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

}  // namespace
