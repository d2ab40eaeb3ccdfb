// SPDX-License-Identifier: GPL-3.0-or-later
// A drawing list run against the runner alone: real list files and drawings, a window that
// records what it is shown and a sender that records what it is asked to send.

#include "batch/drawing_list_runner.h"

#include <gtest/gtest.h>

#include <QFile>

#include "drawing/drawing_file_reader.h"
#include "platform/line_reader.h"
#include "platform/scratch_folder.h"
#include "records/record_list_model.h"
#include "support/fake_clock.h"
#include "support/qt_printers.h"

namespace {

const QString kExamples = QStringLiteral(QUILLON_FIXTURES_DIR "/../../examples");

class RecordingWindow : public batch::DrawingListWindow {
public:
    void processPendingEvents() override { ++pendingEvents; }
    void showError(const QString& caption, const QString& text) override {
        errors << caption + ": " + text;
    }
    void setStatus(const QString& text) override { statuses << text; }
    void setBusy(bool) override {}
    void beep() override { ++beeps; }
    void applyHeaderOptions(const batch::HeaderOptions& options) override {
        if (options.includeName) form.includeDrawingName = *options.includeName == 1;
        if (options.fullPath) form.fullPath = *options.fullPath == 1;
        if (options.timestamp) form.timestamp = *options.timestamp == 1;
    }
    RecordForm recordForm() const override { return form; }
    RecordListModel& records() override { return model; }
    void recordsAdded(qint64 first, qint64 count) override { added.emplace_back(first, count); }
    output::SendRequest requestFor(output::Destination destination) override {
        output::SendRequest request = windowRequest;
        request.destination = destination;
        request.form = form;
        return request;
    }
    void showSend(const output::SendRequest& request, const output::SendResult& result) override {
        shown.push_back(request);
        statuses << result.status;
    }

    RecordForm form;
    RecordListModel model;
    output::SendRequest windowRequest;
    QStringList statuses, errors;
    std::vector<std::pair<qint64, qint64>> added;
    std::vector<output::SendRequest> shown;
    int pendingEvents = 0, beeps = 0;
};

class RecordingSender : public output::Sender {
public:
    output::SendResult send(const output::SendRequest& request,
                            const output::SendRecords& records) override {
        sends.emplace_back(request, records);
        return {true, QStringLiteral("sent")};
    }
    std::vector<std::pair<output::SendRequest, output::SendRecords>> sends;
};

class DrawingListRunnerTest : public ::testing::Test {
protected:
    void SetUp() override {
        scratch.makeFolder("dwg");
        for (const char* name : {"cooling-water", "tank-farm", "boiler-feed"}) {
            ASSERT_TRUE(QFile::copy(kExamples + "/" + name + ".dxf",
                                    scratch.path(QStringLiteral("dwg/%1.dwg").arg(name))));
        }
        scratch.writeFile("title.txt", ScratchFolder::readFile(kExamples + "/titleblock.txt"));
        scratch.makeFolder("program");
    }
    batch::DrawingListResult run(const QByteArray& text) {
        platform::LineReader list;
        EXPECT_TRUE(list.open(scratch.writeFile("run.dlf", text)));
        batch::DrawingListRunner runner(window, sender, drawing::drawingFileReaderFactory(), clock,
                                        scratch.path("program"));
        return runner.run(list);
    }
    QByteArray line(const QString& drawing) const {
        return (scratch.path("dwg/" + drawing) + "," + scratch.path("title.txt")).toUtf8() + "\r\n";
    }

    ScratchFolder scratch;
    RecordingWindow window;
    RecordingSender sender;
    fake::FakeClock clock;
};

TEST_F(DrawingListRunnerTest, SendLinesSendEverythingExtractedSoFarAsRequests) {
    const QString out = scratch.path("out/titles.csv");
    const auto result =
        run("FULLDWGNAME\r\n" + line("cooling-water.dwg") + "EXTRACT TO FILE " + out.toUtf8() +
            ",APPEND,TAGS\r\n" + line("tank-farm.dwg") + "EXTRACT TO CLIPBOARD\r\n");
    EXPECT_EQ(result.outcome, batch::DrawingListResult::Outcome::Finished);
    EXPECT_EQ(result.drawingsExtracted, 2);
    EXPECT_TRUE(result.sent);
    EXPECT_TRUE(window.form.includeDrawingName && window.form.fullPath && !window.form.timestamp);
    ASSERT_EQ(sender.sends.size(), 2u);
    const auto& [toFile, firstRecords] = sender.sends[0];
    EXPECT_EQ(toFile.destination, output::Destination::TextFile);
    EXPECT_EQ(toFile.file, out);
    EXPECT_TRUE(toFile.append && toFile.tags && toFile.fromList);
    EXPECT_EQ(toFile.form.fullPath, true) << "the header gets the records' drawing-name column";
    const qint64 firstCount = firstRecords.records.size();
    ASSERT_GT(firstCount, 0);
    EXPECT_TRUE(firstRecords.records[0].startsWith("'" + scratch.path("dwg/cooling-water.dwg") +
                                                   "','TITLE',"))
        << firstRecords.records[0].toStdString();
    EXPECT_TRUE(firstRecords.header.startsWith("'BLOCK_NAME','BLOCK_HANDLE'"));
    const auto& [toClipboard, allRecords] = sender.sends[1];
    EXPECT_EQ(toClipboard.destination, output::Destination::Clipboard);
    EXPECT_FALSE(toClipboard.tags);
    EXPECT_GT(allRecords.records.size(), firstCount) << "the second send has both drawings'";
    EXPECT_EQ(allRecords.records.mid(0, firstCount), firstRecords.records);
    EXPECT_EQ(window.shown.size(), 2u);
    EXPECT_EQ(result.recordsAdded, window.model.count());
    EXPECT_TRUE(QFile::exists(scratch.path("program/extract.txt")));
}

TEST_F(DrawingListRunnerTest, WildcardLinesAndFailuresReachTheStatusLineAndTheLog) {
    const auto result = run("DWGNAME\r\n" + line("missing.dwg") + line("*-*.dwg") +
                            "EXTRACT TO ACCESS /nowhere/x.db,T,APPEND,TAGS\r\n" + "END\r\n" +
                            line("boiler-feed.dwg"));
    EXPECT_EQ(result.outcome, batch::DrawingListResult::Outcome::Ended);
    EXPECT_EQ(result.drawingsExtracted, 3) << "the folder scan's three drawings";
    EXPECT_TRUE(window.statuses.contains("DWG file not found."));
    EXPECT_TRUE(window.statuses.contains("Scanning " + scratch.path("dwg/") + "..."))
        << window.statuses.join('\n').toStdString();
    const QByteArray log = ScratchFolder::readFile(scratch.path("program/err.log"));
    EXPECT_EQ(log.count('\n'), 1);
    EXPECT_TRUE(log.endsWith("  Error: DWG file not found.\r\n")) << log.toStdString();
    ASSERT_EQ(sender.sends.size(), 1u);
    const output::SendRequest& request = sender.sends[0].first;
    EXPECT_EQ(request.destination, output::Destination::Database);
    EXPECT_EQ(request.table, "T");
    EXPECT_TRUE(request.append);
    EXPECT_FALSE(request.tags) << "a table takes no tags";
}

TEST_F(DrawingListRunnerTest, SendLineBeforeAnyRecordSendsNothing) {
    const auto result = run("DWGNAME\r\nEXTRACT TO CLIPBOARD\r\n" + line("missing.dwg"));
    EXPECT_TRUE(sender.sends.empty());
    EXPECT_FALSE(result.sent);
    EXPECT_EQ(result.recordsAdded, 0);
}

}  // namespace
