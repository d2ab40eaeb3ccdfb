// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/extraction_pool.h"

#include <QDateTime>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "engine/drawing_session.h"
#include "engine/run_extract_file.h"
#include "platform/paths.h"
#include "platform/text_writer.h"

namespace {

struct DrawingSlot {
    QString path;
    DrawingExtraction extraction;
    int worker = -1;
};

// What every worker shares. `next` hands out drawings; `done` counts them for the progress.
struct SharedRun {
    SharedRun(const ExtractionRunRequest& r, const drawingapi::ReaderFactory& f,
              std::vector<DrawingSlot>& d)
        : request(r), factory(f), results(d) {}

    const ExtractionRunRequest& request;
    const drawingapi::ReaderFactory& factory;
    std::vector<DrawingSlot>& results;
    std::atomic<qsizetype> next{0};
    std::atomic<qsizetype> done{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable changed;
    // Set once, under the mutex, by the first worker whose session fails to start or whose
    // template is refused.
    std::optional<ExtractionRunResult::Outcome> failure;
    QString failureText;
};

void work(SharedRun& run, int worker, RunExtractFile& extractFile) {
    QuietRunUi ui;  // nothing is shown from a worker thread
    DrawingSession session(run.factory, ui);
    QString refusal;
    std::optional<ExtractionRunResult::Outcome> failed;
    if (!session.start()) {
        failed = ExtractionRunResult::Outcome::NoApplication;
    } else if (const core::Status loaded = session.loadTemplate(
                   platform::joinPath(run.request.templateFolder, run.request.templateName));
               !loaded) {
        failed = ExtractionRunResult::Outcome::TemplateRejected;
        refusal = loaded.error().description;
    }
    if (failed) {
        const std::lock_guard lock(run.mutex);
        if (!run.failure) {
            run.failure = failed;
            run.failureText = refusal;
        }
        run.stop = true;
        run.changed.notify_all();
        session.stop();
        return;
    }
    const qsizetype total = static_cast<qsizetype>(run.results.size());
    for (qsizetype i = run.next++; i < total && !run.stop; i = run.next++) {
        DrawingSlot& slot = run.results[static_cast<size_t>(i)];
        const QString shown = run.request.drawingNames[i].toUpper();
        slot.extraction = extractDrawing(
            session, slot.path, extractFile.path(), ui,
            {QStringLiteral("File ") + shown + QStringLiteral(" not found."),
             QStringLiteral("Error opening file ") + shown + QStringLiteral("."), QString()});
        slot.worker = worker;
        ++run.done;
        run.changed.notify_all();
    }
    session.stop();
}

}  // namespace

ExtractionRunResult runExtractionOnThreads(const ExtractionRunRequest& request,
                                           const drawingapi::ReaderFactory& factory, int jobs,
                                           ExtractionRunUi& ui, const platform::Clock& clock) {
    const qsizetype total = request.drawingNames.size();
    jobs = static_cast<int>(std::min<qsizetype>(jobs, total));
    if (jobs <= 1) return runExtraction(request, factory, ui, clock);

    ExtractionRunResult result;
    const QDateTime started = clock.now();
    ui.setStatus(QStringLiteral("Extraction in process..."));
    std::vector<DrawingSlot> results(static_cast<size_t>(total));
    for (qsizetype i = 0; i < total; ++i) {
        // As listed: two drawings may differ only in letter case.
        results[static_cast<size_t>(i)].path = platform::resolvePath(
            platform::joinPath(request.drawingFolder, request.drawingNames[i]));
    }
    std::vector<std::unique_ptr<RunExtractFile>> extractFiles;
    for (int w = 0; w < jobs; ++w) {
        extractFiles.push_back(std::make_unique<RunExtractFile>(request.programFolder));
    }
    SharedRun run(request, factory, results);
    std::vector<std::thread> workers;
    for (int w = 0; w < jobs; ++w) {
        workers.emplace_back(work, std::ref(run), w, std::ref(*extractFiles[size_t(w)]));
    }
    ui.setBusy(true);
    {
        std::unique_lock lock(run.mutex);
        while (run.done < total && !run.failure) {
            ui.setProgress(run.done, total);
            lock.unlock();
            ui.processPendingEvents();
            if (ui.cancelRequested()) run.stop = true;
            lock.lock();
            if (run.stop && !run.failure) break;
            run.changed.wait_for(lock, std::chrono::milliseconds(50));
        }
    }
    for (std::thread& worker : workers) worker.join();
    ui.setBusy(false);
    ui.setProgress(0, 0);

    platform::TextWriter log;
    log.open(platform::joinPath(request.programFolder, "err.log"));
    const QString templatePath = platform::joinPath(request.templateFolder, request.templateName);
    if (run.failure) {
        result.outcome = *run.failure;
        if (result.outcome == ExtractionRunResult::Outcome::TemplateRejected) {
            log.writeLine(runLogLine(clock, "Template", templatePath, run.failureText));
            log.commit();
            result.lastError = run.failureText;
            ui.setProblem(QStringLiteral("No attributes extracted. ") + run.failureText);
        } else {
            ui.setProblem(QStringLiteral("Unable to open AutoCAD."));
        }
        return result;
    }

    // In list order, up to the first drawing not reached.
    QString error;
    int lastExtractedWorker = -1;
    for (qsizetype i = 0; i < total; ++i) {
        DrawingSlot& slot = results[static_cast<size_t>(i)];
        if (slot.worker < 0) {
            result.cancelled = true;
            result.drawingsNotReached = total - i;
            break;
        }
        ++result.drawingsDone;
        error = slot.extraction.error;
        if (!error.isEmpty()) {
            log.writeLine(runLogLine(clock, "Drawing", slot.path, error));
            ++result.drawingsFailed;
            continue;
        }
        if (slot.extraction.extracted) lastExtractedWorker = slot.worker;
        qint64 maxFields = 0;
        const QStringList records = recordsInListForm(
            slot.extraction.records, slot.path, request.drawingNames[i], request.form, &maxFields);
        result.header = slot.extraction.records.header;
        result.maxFields = std::max(result.maxFields, maxFields);
        if (!records.isEmpty()) ++result.drawingsExtracted;
        result.records += records;
        for (ExtractedRecord& record : slot.extraction.records.records) {
            record.source.drawingPath = slot.path;
            result.sources.push_back(std::move(record.source));
        }
    }
    // extract.txt holds the last drawing extracted, in list order, as after a run on one thread.
    if (lastExtractedWorker >= 0) extractFiles[size_t(lastExtractedWorker)]->publish();
    log.commit();
    result.lastError = error;
    result.elapsedSeconds = static_cast<double>(started.msecsTo(clock.now())) / 1000.0;
    return result;
}
