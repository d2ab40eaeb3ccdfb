// SPDX-License-Identifier: GPL-3.0-or-later
// An extraction run over drawings in a folder: the records in the list's forms, err.log, the
// messages of each failure and the working files in the program folder.

#include "engine/extraction_run.h"

#include <QDir>
#include <QFileInfo>

#include "engine/text_forms.h"
#include "engine_fixture.h"
#include "support/fake_clock.h"

namespace {

class ExtractionRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(dir.path()).mkpath("dwg"));
        testfiles::write(dir.filePath("title.txt"),
                         "*INPUT\r\nBLOCK: TITLE\r\n*OUTPUT\r\nBLOCK_NAME\r\n*ATTRIBUTE_TAGS\r\n"
                         "DWGNO\r\nREV\r\n");
        request.programFolder = dir.path();
        request.templateFolder = dir.path();
        request.templateName = "title.txt";
        request.drawingFolder = dir.filePath("dwg");
    }

    // A drawing file on disk (its content is the memory model's) with one title block.
    void addDrawing(const QString& name, const QString& dwgno, bool exhaustsMemory = false) {
        const QString path = dir.filePath("dwg/" + name);
        testfiles::write(path, "");
        fake::MemDrawing drawing = sheet({block("TITLE", {{"DWGNO", dwgno}, {"REV", "B"}})});
        drawing.exhaustsMemory = exhaustsMemory;
        model->addDrawing(path, drawing);
    }

    ExtractionRunResult run() { return runExtraction(request, model->factory(), ui, clock); }
    QByteArray errLog() const { return testfiles::read(dir.filePath("err.log")); }

    QTemporaryDir dir;
    std::shared_ptr<fake::MemoryDrawingModel> model = fake::MemoryDrawingModel::create();
    RecordingRunUi ui;
    fake::FakeClock clock;
    ExtractionRunRequest request;
};

TEST_F(ExtractionRunTest, RecordsCarryTheDrawingNameAndTimestamp) {
    addDrawing("a-101.dxf", "A-101");
    request.drawingNames = {"A-101.DXF"};  // opened under its lower-case name
    request.form.timestamp = true;
    const ExtractionRunResult result = run();
    const QString stamp =
        textforms::generalDateTime(QFileInfo(dir.filePath("dwg/a-101.dxf")).lastModified());
    ASSERT_EQ(result.records.size(), 1);
    EXPECT_EQ(result.records[0], "'A-101.DXF','" + stamp + "','TITLE','A-101','B'");
    ASSERT_EQ(result.sources.size(), 1u) << "each record with where it came from";
    EXPECT_EQ(result.sources[0].drawingPath, dir.filePath("dwg/a-101.dxf"))
        << "the drawing in its real letter case";
    EXPECT_EQ(result.sources[0].blockName, "TITLE");
    EXPECT_EQ(result.drawingsExtracted, 1);
    EXPECT_EQ(result.maxFields, 6);
    EXPECT_EQ(errLog(), "") << "a run without failure leaves the log empty";
    EXPECT_EQ(ui.busyChanges, (std::vector<bool>{true, false})) << "the hourglass is restored";
    EXPECT_EQ(ui.statuses.first(), "Extraction in process...");
    EXPECT_TRUE(ui.statuses.contains("Processing " + dir.filePath("dwg/a-101.dxf") + "..."));
    EXPECT_EQ(finalStatus(result, false), "Attributes from 1 file(s) extracted in 0.00 second(s).");
}

TEST_F(ExtractionRunTest, RecordFormsFollowTheOptions) {
    addDrawing("a.dxf", "1");
    request.drawingNames = {"a.dxf"};

    request.form = RecordForm{true, true, false, true, 2};
    EXPECT_EQ(run().records, QStringList{"'" + dir.filePath("dwg/a.dxf") + "','TITLE','1','B'"})
        << "a full path keeps its letter case: upper-cased it names no file";

    request.form = RecordForm{true, false, false, false, 3};
    EXPECT_EQ(run().records, QStringList{"A.DXF   TITLE   1   B"});

    request.form = RecordForm{false, false, true, false, 1};
    EXPECT_EQ(run().records, QStringList{"TITLE 1 B"}) << "no timestamp without the drawing name";

    request.form = RecordForm{false, false, false, true, 2};
    EXPECT_EQ(run().records, QStringList{"'TITLE','1','B'"});
}

// A drawing that is missing, does not open or does not fit in memory is logged with its reason;
// the records of the others are kept and the run ends as any other.
TEST_F(ExtractionRunTest, FailingDrawingsAreLoggedAndTheRunGoesOn) {
    addDrawing("huge.dxf", "1", true);
    addDrawing("good.dxf", "G");
    testfiles::write(dir.filePath("dwg/broken.dxf"), "");  // on disk, but it will not open
    request.drawingNames = {"Missing.dxf", "huge.dxf", "good.dxf", "broken.dxf"};
    const ExtractionRunResult result = run();
    EXPECT_EQ(result.records, QStringList{"'GOOD.DXF','TITLE','G','B'"});
    EXPECT_EQ(result.drawingsExtracted, 1);
    // The reader's own reason follows the message, so the user learns why.
    EXPECT_EQ(result.lastError, "Error opening file BROKEN.DXF. (Drawing not found)");
    const QByteArray stamp = "03/05/2024 02:07:09 pm  Drawing: ";
    EXPECT_EQ(errLog(), stamp + dir.filePath("dwg/Missing.dxf").toUtf8() +
                            "  Error: File MISSING.DXF not found.\r\n" + stamp +
                            dir.filePath("dwg/huge.dxf").toUtf8() +
                            "  Error: Error opening file HUGE.DXF. (there is not enough memory "
                            "for the drawing)\r\n" +
                            stamp + dir.filePath("dwg/broken.dxf").toUtf8() +
                            "  Error: Error opening file BROKEN.DXF. (Drawing not found)\r\n");
    EXPECT_EQ(finalStatus(result, true),
              "No attributes extracted. Error opening file BROKEN.DXF. (Drawing not found)");
    EXPECT_EQ(finalStatus(result, false),
              "Attributes from 1 file(s) extracted in 0.00 second(s). 3 drawing(s) could not be "
              "read; err.log names them.");
    EXPECT_EQ(ui.busyChanges,
              (std::vector<bool>{true, false, true, false, true, false, true, false}))
        << "the hourglass is restored after each drawing";
    EXPECT_EQ(model->liveDrawings(), 0) << "the drawing that did not fit is not held";
}

// Each drawing is opened by the name listed: two names may differ only in letter case, and only
// a name missing as written is looked up ignoring case. A file name may hold a line break; a
// record stays one line, so no crafted name can make a record of its own.
TEST_F(ExtractionRunTest, DrawingsAreOpenedAsListedAndNamedOnOneLine) {
    for (const char* name : {"A.dxf", "a.dxf", "b.dxf", "x.dxf\n'FAKE','RECORD", "c\r\nd.dxf"})
        addDrawing(name, name);
    request.drawingNames = {"A.dxf", "a.dxf", "B.DXF", "x.dxf\n'FAKE','RECORD"};
    EXPECT_EQ(run().records,
              (QStringList{"'A.DXF','TITLE','A.dxf','B'", "'A.DXF','TITLE','a.dxf','B'",
                           "'B.DXF','TITLE','b.dxf','B'",
                           "'X.DXF 'FAKE','RECORD','TITLE','x.dxf\n'FAKE','RECORD','B'"}));
    request.drawingNames = {"B.DXF", "c\r\nd.dxf"};
    request.form.fullPath = true;
    EXPECT_EQ(run().records,
              (QStringList{"'" + dir.filePath("dwg/b.dxf") + "','TITLE','b.dxf','B'",
                           "'" + dir.filePath("dwg/c  d.dxf") + "','TITLE','c\r\nd.dxf','B'"}));
    EXPECT_EQ(errLog(), "");
}

// Another run (the window beside quillon-extract, or a second quillon-extract) with the same
// program folder replaces extract.txt and err.log whenever it likes; this run's records and log
// stay its own.
TEST_F(ExtractionRunTest, RecordsComeFromTheRunsOwnExtractFile) {
    struct IntrudingUi : RecordingRunUi {
        QString folder;
        void setBusy(bool busy) override {
            RecordingRunUi::setBusy(busy);
            if (busy) return;
            testfiles::write(folder + "/extract.txt", "HEADER:'X'\r\n'FOREIGN'\r\n");
            testfiles::write(folder + "/err.log", "another run's half line");
        }
    } intruding;
    intruding.folder = dir.path();
    addDrawing("a.dxf", "1");
    addDrawing("b.dxf", "2");
    request.drawingNames = {"a.dxf", "missing.dxf", "b.dxf"};
    const ExtractionRunResult result = runExtraction(request, model->factory(), intruding, clock);
    EXPECT_EQ(result.records, (QStringList{"'A.DXF','TITLE','1','B'", "'B.DXF','TITLE','2','B'"}));
    EXPECT_EQ(result.drawingsExtracted, 2);
    EXPECT_EQ(errLog(),
              "03/05/2024 02:07:09 pm  Drawing: " + dir.filePath("dwg/missing.dxf").toUtf8() +
                  "  Error: File MISSING.DXF not found.\r\n")
        << "the log is this run's, whole";
    EXPECT_EQ(testfiles::read(dir.filePath("extract.txt")),
              "HEADER:'BLOCK_NAME','DWGNO','REV'\r\n'TITLE','2','B'\r\n")
        << "the last drawing's file is left in place";
    QDir folder(dir.path());
    EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{"err.log", "extract.txt", "title.txt"}))
        << "no working file is left behind";
}

TEST_F(ExtractionRunTest, RejectedTemplateIsLoggedOnce) {
    testfiles::write(dir.filePath("title.txt"), "no sections here\r\n");
    addDrawing("a.dxf", "1");
    request.drawingNames = {"a.dxf"};
    const ExtractionRunResult result = run();
    EXPECT_EQ(result.outcome, ExtractionRunResult::Outcome::TemplateRejected);
    EXPECT_TRUE(model->opens.empty());
    EXPECT_EQ(model->liveDrawings(), 0);
    EXPECT_EQ(errLog(), "03/05/2024 02:07:09 pm  Template: " + dir.filePath("title.txt").toUtf8() +
                            "  Error: Template file requires '*INPUT'.\r\n");
    EXPECT_EQ(ui.statuses.last(), "No attributes extracted. Template file requires '*INPUT'.");
}

TEST_F(ExtractionRunTest, ApplicationThatCannotStartLeavesTheLogAlone) {
    testfiles::write(dir.filePath("err.log"), "earlier run");
    model->failOn(fake::Call::CreateReader);
    request.drawingNames = {"a.dxf"};
    const ExtractionRunResult result = run();
    EXPECT_EQ(result.outcome, ExtractionRunResult::Outcome::NoApplication);
    EXPECT_EQ(ui.statuses.last(), "Unable to open AutoCAD.");
    EXPECT_EQ(ui.errors.size(), 1);
    EXPECT_EQ(errLog(), "earlier run");
}

// A run that was killed leaves its hidden working files in the program folder. The next run
// clears those nobody has touched for a day, and never the files of a run still going.
TEST_F(ExtractionRunTest, NextRunClearsTheFilesAKilledRunLeft) {
    const QDateTime twoDaysAgo = QDateTime::currentDateTime().addDays(-2);
    auto leave = [&](const QString& name, bool old) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("HEADER:'BLOCK_NAME'\r\n");
        file.flush();  // or closing it would write, and date it, again
        if (old) {
            ASSERT_TRUE(file.setFileTime(twoDaysAgo, QFileDevice::FileModificationTime));
        }
    };
    leave(".extract-kIlLed", true);  // a killed run: its reservation and its working file
    leave(".extract-kIlLed.txt", true);
    leave(".extract-Orphan.txt", true);  // a working file whose reservation went already
    leave(".extract-gOiNg1", true);      // a long run, still writing its working file
    leave(".extract-gOiNg1.txt", false);
    leave(".extract-fresh1", false);   // a run that started a moment ago
    leave("extract-notes.txt", true);  // the user's own files stay
    leave(".extract-my notes.txt", true);
    leave(".extract-Orphan7.txt", true);
    leave(".extract-abcdef.txt.bak", true);
    addDrawing("a-101.dxf", "A-101");
    request.drawingNames = {"a-101.dxf"};
    ASSERT_EQ(run().records.size(), 1);
    EXPECT_EQ(QDir(dir.path()).entryList({"*extract*"}, QDir::Files | QDir::Hidden, QDir::Name),
              QStringList({".extract-Orphan7.txt", ".extract-abcdef.txt.bak", ".extract-fresh1",
                           ".extract-gOiNg1", ".extract-gOiNg1.txt", ".extract-my notes.txt",
                           "extract-notes.txt", "extract.txt"}));
}

TEST_F(ExtractionRunTest, ProgressCountsDrawingsAndCancelStopsBetweenThem) {
    for (const char* name : {"a.dxf", "b.dxf", "c.dxf", "d.dxf"}) addDrawing(name, name);
    request.drawingNames = {"A.DXF", "B.DXF", "C.DXF", "D.DXF"};
    struct Case {
        qint64 cancelAt;
        QStringList progress;
        int records;
        QString status;
    };
    const Case cases[] = {
        {-1, {"0/4", "1/4", "2/4", "3/4", "0/0"}, 4, "Attributes from 4 file(s) extracted in"},
        // The click comes while the second drawing is read: it is finished, the third is not
        // begun, and the two read are kept.
        {1, {"0/4", "1/4", "0/0"}, 2, "Cancelled after 2 of 4 drawing(s)."},
        {0, {"0/4", "0/0"}, 1, "Cancelled after 1 of 4 drawing(s)."},
    };
    for (const Case& c : cases) {
        ui = RecordingRunUi();
        ui.cancelAt = c.cancelAt;
        const ExtractionRunResult result = run();
        EXPECT_EQ(ui.progress, c.progress) << c.cancelAt;
        EXPECT_EQ(result.records.size(), c.records) << c.cancelAt;
        EXPECT_EQ(result.cancelled, c.cancelAt >= 0);
        EXPECT_TRUE(finalStatus(result, false).contains(c.status))
            << finalStatus(result, false).toStdString();
    }
    // A run stopped before it added anything still says where it stopped.
    ExtractionRunResult nothing;
    nothing.cancelled = true;
    nothing.drawingsDone = 0;
    nothing.drawingsNotReached = 3;
    EXPECT_EQ(finalStatus(nothing, true),
              "No attributes extracted. Cancelled after 0 of 3 drawing(s).");
}

}  // namespace
