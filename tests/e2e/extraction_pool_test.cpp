// SPDX-License-Identifier: GPL-3.0-or-later
// An extraction on several threads gives what one thread gives: the same records in the same
// order, the same err.log and counts, over real drawings of every release and broken ones.

#include "engine/extraction_pool.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "drawing/drawing_file_reader.h"
#include "platform/folder_listing.h"
#include "support/fake_clock.h"
#include "support/files.h"
#include "support/qt_printers.h"

namespace {

const QString kAutocad = QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/autocad");
const QString kExamples = QStringLiteral(QUILLON_FIXTURES_DIR "/../../examples");

// Cancel is clicked once `cancelAt` drawings are shown done.
class CountingRunUi : public ExtractionRunUi {
public:
    void processPendingEvents() override {}
    void showError(const QString&, const QString&) override {}
    void setStatus(const QString& text) override { lastStatus = text; }
    void setProblem(const QString& text) override { lastStatus = text; }
    void setBusy(bool) override {}
    void setProgress(qint64 done, qint64 total) override {
        if (total > 0 && cancelAt >= 0 && done >= cancelAt) cancelled = true;
    }
    bool cancelRequested() const override { return cancelled; }
    qint64 cancelAt = -1;
    bool cancelled = false;
    QString lastStatus;
};

class ExtractionPool : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const QString drawings = dir.filePath("dwg");
        QDir().mkpath(drawings);
        for (const QString& name : QDir(kAutocad).entryList({"*.dwg", "*.dxf"}, QDir::Files)) {
            ASSERT_TRUE(QFile::copy(kAutocad + "/" + name, drawings + "/" + name));
        }
        for (const QString& name : QDir(kExamples).entryList({"*.dxf"}, QDir::Files)) {
            ASSERT_TRUE(QFile::copy(kExamples + "/" + name, drawings + "/" + name));
        }
        // Drawings no reader takes, among the good ones.
        testfiles::write(drawings + "/broken.dwg", "AC1015 and then nothing");
        testfiles::write(drawings + "/empty.dxf", "");
        testfiles::write(dir.filePath("all.txt"),
                         "*INPUT\r\nBLOCK: *\r\n*OUTPUT\r\nBLOCK_NAME\r\nBLOCK_HANDLE\r\n"
                         "*ATTRIBUTE_TAGS\r\n*\r\n");
        request.programFolder = dir.path();
        request.templateFolder = dir.path();
        request.templateName = "all.txt";
        request.drawingFolder = drawings;
        request.drawingNames = platform::listFolder(drawings, "*.dwg;*.dxf", {});
        request.form.timestamp = true;
    }
    ExtractionRunResult run(int jobs, CountingRunUi& ui) {
        QFile::remove(dir.filePath("err.log"));
        return runExtractionOnThreads(request, drawing::drawingFileReaderFactory(), jobs, ui,
                                      clock);
    }
    QStringList sourcePaths(const ExtractionRunResult& result) {
        QStringList paths;
        for (const RecordSource& source : result.sources) paths << source.drawingPath;
        return paths;
    }

    QTemporaryDir dir;
    fake::FakeClock clock;
    ExtractionRunRequest request;
};

TEST_F(ExtractionPool, EveryNumberOfJobsGivesTheOneThreadRun) {
    ASSERT_GE(request.drawingNames.size(), 20);
    CountingRunUi oneUi;
    const ExtractionRunResult one = run(1, oneUi);
    const QByteArray oneLog = testfiles::read(dir.filePath("err.log"));
    const QByteArray oneExtract = testfiles::read(dir.filePath("extract.txt"));
    ASSERT_GT(one.records.size(), 30);
    ASSERT_EQ(one.drawingsFailed, 2);
    for (const int jobs : {2, 3, 8, 64}) {
        SCOPED_TRACE(jobs);
        CountingRunUi ui;
        const ExtractionRunResult many = run(jobs, ui);
        EXPECT_EQ(many.records, one.records);
        EXPECT_EQ(sourcePaths(many), sourcePaths(one));
        EXPECT_EQ(many.header, one.header);
        EXPECT_EQ(many.maxFields, one.maxFields);
        EXPECT_EQ(many.drawingsExtracted, one.drawingsExtracted);
        EXPECT_EQ(many.drawingsFailed, one.drawingsFailed);
        EXPECT_EQ(many.lastError, one.lastError);
        EXPECT_EQ(testfiles::read(dir.filePath("err.log")), oneLog);
        EXPECT_EQ(testfiles::read(dir.filePath("extract.txt")), oneExtract);
        EXPECT_EQ(finalStatus(many, false), finalStatus(one, false));
        EXPECT_EQ(QDir(dir.path()).entryList({"extract*"}, QDir::Files), QStringList{"extract.txt"})
            << "no worker's extract file is left behind";
    }
}

TEST_F(ExtractionPool, CancelKeepsTheRecordsOfTheDrawingsBeforeTheFirstNotReached) {
    CountingRunUi oneUi;
    const ExtractionRunResult one = run(1, oneUi);
    CountingRunUi ui;
    ui.cancelAt = 3;
    const ExtractionRunResult stopped = run(2, ui);
    ASSERT_TRUE(stopped.cancelled);
    ASSERT_GE(stopped.drawingsDone, 3);
    ASSERT_LT(stopped.drawingsDone, request.drawingNames.size());
    EXPECT_EQ(stopped.drawingsDone + stopped.drawingsNotReached, request.drawingNames.size());
    // Exactly the records one thread gives for the drawings done, in order.
    ExtractionRunRequest prefix = request;
    prefix.drawingNames = request.drawingNames.mid(0, stopped.drawingsDone);
    CountingRunUi prefixUi;
    const ExtractionRunResult expected =
        runExtraction(prefix, drawing::drawingFileReaderFactory(), prefixUi, clock);
    EXPECT_EQ(stopped.records, expected.records);
}

TEST_F(ExtractionPool, ATemplateRefusedStopsEveryWorkerAndIsLoggedOnce) {
    testfiles::write(dir.filePath("all.txt"), "no markers at all\r\n");
    CountingRunUi ui;
    const ExtractionRunResult result = run(4, ui);
    EXPECT_EQ(result.outcome, ExtractionRunResult::Outcome::TemplateRejected);
    EXPECT_TRUE(result.records.isEmpty());
    const QString log = QString::fromUtf8(testfiles::read(dir.filePath("err.log")));
    EXPECT_EQ(log.count("Template: "), 1) << log.toStdString();
    EXPECT_TRUE(ui.lastStatus.startsWith("No attributes extracted. "));
}

}  // namespace
