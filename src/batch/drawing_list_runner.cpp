// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/drawing_list_runner.h"

#include "batch/folder_scan.h"
#include "batch/send_line_request.h"
#include "batch/update_line_run.h"
#include "core/result.h"
#include "engine/drawing_session.h"
#include "engine/run_extract_file.h"
#include "engine/text_forms.h"
#include "platform/folder_listing.h"
#include "platform/line_reader.h"
#include "platform/paths.h"
#include "platform/text_writer.h"
#include "records/record_list_model.h"

namespace batch {

namespace {

const QString kDrawingNotFound = QStringLiteral("DWG file not found.");

}  // namespace

platform::ReadLimit listFileLimit() {
    // Some 100,000 drawing lines with long paths: more than any list written or generated for
    // real, and little enough to hold in memory.
    return {16 * 1024 * 1024, QStringLiteral("a drawing list")};
}

DrawingListRunner::DrawingListRunner(DrawingListWindow& window, output::Sender& sender,
                                     drawingapi::ReaderFactory drawings,
                                     const platform::Clock& clock, QString programFolder)
    : m_window(window),
      m_sender(sender),
      m_drawings(std::move(drawings)),
      m_clock(clock),
      m_programFolder(std::move(programFolder)) {}

DrawingListResult DrawingListRunner::run(platform::LineReader& list) {
    m_result = {};
    m_lastTargets.clear();
    const QDateTime started = m_clock.now();
    m_window.setStatus(QStringLiteral("Extraction in process..."));
    // The run's own extract file: another run may share the program folder.
    RunExtractFile extractFile(m_programFolder);
    m_extractPath = extractFile.path();

    QString line;
    while (list.readLine(line)) {
        const QString upper = line.trimmed().toUpper();
        const LineKind kind = kindOf(upper);
        if (kind == LineKind::Blank || kind == LineKind::Comment) continue;
        m_window.applyHeaderOptions(headerOptions(upper));
        break;
    }

    DrawingSession session(m_drawings, m_window);
    if (!session.start()) {
        m_result.outcome = DrawingListResult::Outcome::NoApplication;
        return m_result;
    }
    platform::TextWriter log;
    log.open(platform::joinPath(m_programFolder, "err.log"));

    // The list is held whole (it is limited in size), so the progress knows its total.
    QStringList lines;
    while (list.readLine(line)) {
        lines << line.trimmed();
        if (kindOf(lines.last().toUpper()) == LineKind::Drawing) ++m_result.drawingLines;
    }
    m_cancelled = false;
    for (const QString& written : lines) {
        if (m_cancelled) break;
        const LineKind kind = kindOf(written.toUpper());
        if (kind == LineKind::Drawing) {
            if (cancelled()) break;
            m_window.setProgress(m_result.drawingLinesRun, m_result.drawingLines);
            ++m_result.drawingLinesRun;
        }
        switch (kind) {
            case LineKind::End:
                m_window.setProgress(0, 0);
                extractFile.publish();
                log.commit();
                session.stop();
                m_result.outcome = DrawingListResult::Outcome::Ended;
                return m_result;
            case LineKind::Send:
                sendLine(log, written);
                break;
            case LineKind::Update:
                updateLine(log, written);
                break;
            case LineKind::Drawing:
                extractDrawingLine(session, log, written);
                break;
            default:
                break;
        }
    }

    m_window.setProgress(0, 0);
    if (m_cancelled) m_result.outcome = DrawingListResult::Outcome::Cancelled;
    extractFile.publish();
    log.commit();
    session.stop();
    m_result.elapsedSeconds = static_cast<double>(started.msecsTo(m_clock.now())) / 1000.0;
    return m_result;
}

void DrawingListRunner::sendLine(platform::TextWriter& log, const QString& line) {
    const std::optional<SendLine> send = parseSendLine(line);
    if (!send) {
        // Nothing can be sent by it, now or later: a mistyped destination must not pass unseen.
        const QString error = QStringLiteral(
            "The send line names no destination: TO FILE, TO CLIPBOARD, TO WORD, TO EXCEL or TO "
            "ACCESS.");
        m_window.setProblem(error);
        logFailure(log, QStringLiteral("  Send: ") + line, error);
        return;
    }
    // Before anything was extracted a send line sends nothing.
    if (m_result.recordsAdded == 0) return;
    const output::Destination destination = destinationOf(send->destination);
    output::SendRequest current = m_window.requestFor(destination);
    // A send line that names no file sends to the file the run's last line to that destination
    // sent to; the window's own targets stay as the user chose them.
    if (const auto last = m_lastTargets.find(destination); last != m_lastTargets.end()) {
        current.file = last->second.file;
        current.sheet = last->second.sheet;
        current.table = last->second.table;
    }
    const output::SendRequest request = requestFromSendLine(*send, std::move(current));
    m_lastTargets[destination] = {request.file, request.sheet, request.table};
    // Every send line sends all that the run extracted so far.
    const RecordListModel& records = m_window.records();
    const output::SendResult result =
        m_sender.send(request, {records.texts(), records.header(), records.maxFields()});
    m_window.showSend(request, result);
    m_result.sent = true;
    if (!result.ok) {
        logFailure(log, QStringLiteral("  Send: ") + line, result.status);
    }
    m_window.processPendingEvents();
}

void DrawingListRunner::updateLine(platform::TextWriter& log, const QString& line) {
    const std::optional<UpdateLine> update = parseUpdateLine(line);
    if (!update) {
        const QString error = QStringLiteral(
            "The update line names no source: FROM FILE path, FROM EXCEL path,sheet or FROM "
            "ACCESS path,table.");
        m_window.setProblem(error);
        logFailure(log, QStringLiteral("  Update: ") + line, error);
        return;
    }
    m_window.setStatus(QStringLiteral("Updating drawings..."));
    m_window.processPendingEvents();
    const UpdateLineResult result = runUpdateLine(*update, m_programFolder, m_clock.now());
    m_window.setStatus(result.status);
    for (const QString& failure : result.failures) {
        log.writeLine(textforms::logTimestamp(m_clock.now()) + QStringLiteral("  Update: ") + line +
                      QStringLiteral("  Error: ") + failure);
    }
    if (!result.failures.isEmpty()) ++m_result.failedLines;
}

void DrawingListRunner::logFailure(platform::TextWriter& log, const QString& what,
                                   const QString& error) {
    log.writeLine(textforms::logTimestamp(m_clock.now()) + what + QStringLiteral("  Error: ") +
                  error);
    ++m_result.failedLines;
}

void DrawingListRunner::extractDrawingLine(DrawingSession& session, platform::TextWriter& log,
                                           const QString& line) {
    const DrawingLine parts = splitDrawingLine(line);
    // A path the system cannot take is refused here, before any look-up: a crafted one of a
    // few hundred thousand characters would otherwise be walked name by name.
    QString refusal;
    const QString drawing = platform::resolvePath(parts.drawing, &refusal);
    const QString name = fileNameOf(parts.drawing).toUpper();
    const QString templatePath = platform::resolvePath(parts.templatePath);

    if (name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'))) {
        // Without an extension the pattern reaches into subfolders. The reader reads DXF as
        // well as DWG, so a dxf extension stays; any other extension becomes dwg.
        QString pattern = name;
        const bool noExtension = !pattern.contains(QLatin1Char('.'));
        if (noExtension) {
            pattern += QStringLiteral(".dwg");
        } else if (!pattern.endsWith(QLatin1String("dwg"), Qt::CaseInsensitive) &&
                   !pattern.endsWith(QLatin1String(".dxf"), Qt::CaseInsensitive)) {
            pattern = pattern.left(pattern.indexOf(QLatin1Char('.')) + 1) + QStringLiteral("dwg");
        }
        const qsizetype cut = parts.drawing.size() - fileNameOf(parts.drawing).size();
        scanFolder(platform::resolvePath(parts.drawing.left(cut)), pattern, noExtension,
                   templatePath);
        return;
    }

    const core::Status loaded = session.loadTemplate(templatePath);
    QString error = loaded ? QString() : loaded.error().description;
    DrawingExtraction extraction;
    if (error.isEmpty()) {
        if (refusal.isEmpty()) {
            extraction = extract(session, drawing);
            error = extraction.error;
        } else {
            error = core::withReason(kDrawingNotFound, refusal);
        }
    }
    if (!error.isEmpty()) {
        m_window.setProblem(error);
        logFailure(
            log,
            QStringLiteral("  Template: ") + templatePath + QStringLiteral("  Drawing: ") + drawing,
            error);
        return;
    }
    addRecords(drawing, name, extraction.records);
}

void DrawingListRunner::scanFolder(const QString& folder, const QString& pattern,
                                   bool withSubfolders, const QString& templatePath) {
    QStringList drawings;
    if (withSubfolders) {
        drawings = ScanFolder(folder, pattern, [this](const QString& path) {
            m_window.setStatus(QStringLiteral("Scanning ") + path + QStringLiteral("..."));
        });
    } else {
        m_window.setStatus(QStringLiteral("Scanning ") + folder + QStringLiteral("..."));
        for (const QString& name : platform::listFolder(folder, pattern, platform::ListOptions{})) {
            drawings << platform::joinPath(folder, name);
        }
    }

    // A session of its own, as the scan's drawings are opened apart from the list's.
    DrawingSession session(m_drawings, m_window);
    if (!session.start()) return;
    const core::Status loaded = session.loadTemplate(templatePath);
    QString error = loaded ? QString() : loaded.error().description;
    if (!error.isEmpty()) {
        m_window.setProblem(QStringLiteral("Unable to extract block attributes. ") + error);
        session.stop();
        return;
    }
    const qint64 total = drawings.size();
    qint64 done = 0;
    for (const QString& drawing : drawings) {
        // A scan's drawings count on the bar while it runs; the list's count comes back after.
        if (cancelled()) break;
        m_window.setProgress(done++, total);
        const DrawingExtraction extraction = extract(session, drawing);
        if (!extraction.error.isEmpty()) {
            m_window.setProblem(extraction.error);  // the scan writes no error-log lines
            continue;
        }
        addRecords(drawing, fileNameOf(drawing).toUpper(), extraction.records);
    }
    session.stop();
}

bool DrawingListRunner::cancelled() {
    if (!m_cancelled) m_cancelled = m_window.cancelRequested();
    return m_cancelled;
}

DrawingExtraction DrawingListRunner::extract(DrawingSession& session, const QString& drawing) {
    const DrawingExtraction extraction =
        extractDrawing(session, drawing, m_extractPath, m_window,
                       {kDrawingNotFound, QStringLiteral("Error opening DWG file."),
                        QStringLiteral("Unable to extract block attributes. ")});
    if (extraction.extracted) ++m_result.drawingsExtracted;
    return extraction;
}

void DrawingListRunner::addRecords(const QString& drawingPath, const QString& drawingName,
                                   const DrawingRecords& extracted) {
    qint64 maxFields = 0;
    const QStringList added =
        recordsInListForm(extracted, drawingPath, drawingName, m_window.recordForm(), &maxFields);
    RecordListModel& records = m_window.records();
    // The header row of the drawing read last goes with the records, for the sends that follow.
    records.setHeader(extracted.header);
    std::vector<RecordSource> sources;
    sources.reserve(extracted.records.size());
    for (const ExtractedRecord& record : extracted.records) {
        sources.push_back(record.source);
        sources.back().drawingPath = drawingPath;
    }
    const qint64 first = records.count();
    records.append(added, maxFields, std::move(sources));
    m_window.recordsAdded(first, added.size());
    m_result.recordsAdded += added.size();
}

}  // namespace batch
