// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A drawing list run against the runner alone: real list files over real drawings in a scratch
// folder tree, a window that records what it is shown, and a sender that records what it is
// asked to send, or the real one over the office components that write real files.

#include <gtest/gtest.h>

#include <QFile>

#include "batch/drawing_list_runner.h"
#include "drawing/drawing_file_reader.h"
#include "office/docx_word_processor.h"
#include "office/sqlite_database.h"
#include "office/xlsx_spreadsheet.h"
#include "output/destination_sender.h"
#include "platform/line_reader.h"
#include "platform/scratch_folder.h"
#include "records/record_list_model.h"
#include "support/fake_clock.h"
#include "support/gui/counting_ui.h"
#include "support/gui/memory_clipboard.h"
#include "support/gui/recording_shell.h"
#include "support/gui/scripted_dialogs.h"
#include "support/qt_printers.h"

namespace runnertest {

inline const QString kExamples = QStringLiteral(QUILLON_FIXTURES_DIR "/../../examples");
inline const QString kAutocad = QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/autocad");

class RecordingWindow : public batch::DrawingListWindow {
public:
    void processPendingEvents() override {}
    void showError(const QString& caption, const QString& text) override {
        errors << caption + ": " + text;
    }
    void setStatus(const QString& text) override { statuses << text; }
    void setBusy(bool) override {}
    void setProblem(const QString& text) override {
        statuses << text;
        problems << text;
    }
    // Progress is noted as "done/total"; the user clicks Cancel when `cancelWhen` shows.
    void setProgress(qint64 done, qint64 total) override {
        progress << QString::number(done) + '/' + QString::number(total);
        if (progress.last() == cancelWhen) cancelClicked = true;
    }
    bool cancelRequested() const override { return cancelClicked; }
    void beep() override {}
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
    QStringList statuses, errors, problems, progress;
    QString cancelWhen;
    bool cancelClicked = false;
    std::vector<std::pair<qint64, qint64>> added;
    std::vector<output::SendRequest> shown;
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

// The program's own sender; a started workbook or document program makes its new file in the
// request's folder.
struct RealSender {
    RealSender() {
        office.openDatabase = office::openSqliteDatabase;
        office.startSpreadsheet = office::startXlsxSpreadsheet;
        office.startWordProcessor = office::startDocxWordProcessor;
    }
    fake::ScriptedDialogs dialogs;
    fake::CountingUi ui;
    fake::RecordingShell shell;
    fake::MemoryClipboard clipboard;
    office::Office office = office::unavailableOffice();
    output::DestinationSender sender{{dialogs, ui, shell, clipboard, office}};
};

// DXF drawings under .dwg names too: drawings are recognised by their content.
class RunnerTest : public ::testing::Test {
protected:
    void SetUp() override {
        proj = scratch.makeFolder("proj");
        scratch.makeFolder("proj/sub/deeper");
        out = scratch.makeFolder("out");
        scratch.makeFolder("program");
        const std::pair<const char*, const char*> drawings[] = {
            {"cooling-water", "A-101.dwg"}, {"tank-farm", "E-1.dwg"},
            {"boiler-feed", "sub/E-2.dwg"}, {"cooling-water", "sub/deeper/E-3.dwg"},
            {"tank-farm", "E-9.dxf"},       {"tank-farm", "sub/E-8.DXF"},
        };
        for (const auto& [example, name] : drawings) {
            ASSERT_TRUE(QFile::copy(kExamples + "/" + example + ".dxf", proj + "/" + name));
        }
        scratch.writeFile("Title.txt", ScratchFolder::readFile(kExamples + "/titleblock.txt"));
    }
    // Runs `text` as a list file, read as the window reads one.
    batch::DrawingListResult run(const QByteArray& text, output::Sender& through) {
        platform::LineReader list;
        EXPECT_TRUE(list.open(scratch.writeFile("run.dlf", text), batch::listFileLimit()));
        batch::DrawingListRunner runner(window, through, drawing::drawingFileReaderFactory(), clock,
                                        scratch.path("program"));
        return runner.run(list);
    }
    batch::DrawingListResult run(const QByteArray& text) { return run(text, sender); }
    // A drawing line with a template named in another letter case: names are looked up.
    QByteArray line(const QString& drawing, const QString& templatePath = {}) const {
        return (drawing + "," + (templatePath.isEmpty() ? tpl() : templatePath)).toUtf8() + "\r\n";
    }
    QString tpl() const { return scratch.path("title.txt"); }
    QStringList names() const {
        QStringList first;
        for (const QString& record : window.model.texts()) first << record.section(',', 0, 0);
        return first;
    }
    QStringList errLog() const {
        return QString::fromUtf8(ScratchFolder::readFile(scratch.path("program/err.log")))
            .split("\r\n", Qt::SkipEmptyParts);
    }

    ScratchFolder scratch;
    QString proj, out;
    RecordingWindow window;
    RecordingSender sender;
    fake::FakeClock clock;
};

}  // namespace runnertest
