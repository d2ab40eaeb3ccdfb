// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/extraction_run.h"

#include <QFile>
#include <QFileInfo>
#include <new>

#include "engine/drawing_session.h"
#include "engine/record_line.h"
#include "engine/run_extract_file.h"
#include "engine/text_forms.h"
#include "platform/file_exists.h"
#include "platform/line_reader.h"
#include "platform/paths.h"
#include "platform/text_writer.h"

QString runLogLine(const platform::Clock& clock, const char* kind, const QString& path,
                   const QString& message) {
    return textforms::logTimestamp(clock.now()) + QStringLiteral("  ") + QLatin1String(kind) +
           QStringLiteral(": ") + path + QStringLiteral("  Error: ") + message;
}

namespace {

DrawingExtraction extractOneDrawing(DrawingSession& session, const QString& drawing,
                                    const QString& extractPath, ExtractionRunUi& ui,
                                    const DrawingMessages& messages) {
    DrawingExtraction result;
    if (!platform::fileExists(drawing)) {
        result.error = messages.notFound;
        return result;
    }
    const core::Status opened = session.openDrawing(drawing, session.password());
    ui.setStatus(QStringLiteral("Processing ") + drawing + QStringLiteral("..."));
    if (!opened) {
        result.error = core::withReason(messages.openFailed, opened.error().description);
        return result;
    }
    if (platform::fileExists(extractPath)) QFile::remove(extractPath);
    core::Result<DrawingRecords> extracted = session.extractAttributes(extractPath);
    result.extracted = extracted.ok();
    if (extracted) {
        result.records = std::move(extracted).value();
    } else {
        result.error = messages.extractFailed + extracted.error().description;
    }
    session.closeDrawing();
    return result;
}

}  // namespace

DrawingExtraction extractDrawing(DrawingSession& session, const QString& drawing,
                                 const QString& extractPath, ExtractionRunUi& ui,
                                 const DrawingMessages& messages) {
    try {
        return extractOneDrawing(session, drawing, extractPath, ui, messages);
    } catch (const std::bad_alloc&) {
        // What the drawing took is given back with it; the run goes on with the next one.
        session.closeDrawing();
        DrawingExtraction failed;
        failed.error = core::withReason(messages.openFailed, DrawingSession::notEnoughMemory());
        return failed;
    }
}

QStringList recordsInListForm(const DrawingRecords& extracted, const QString& drawingPath,
                              const QString& drawingSpec, const RecordForm& form,
                              qint64* maxFields) {
    QStringList records;
    records.reserve(static_cast<qsizetype>(extracted.records.size()));
    qint64 widest = 0;
    const QString blanks(form.spaces, QLatin1Char(' '));
    QString stamp;
    if (form.includeDrawingName && form.timestamp) {
        stamp = QLatin1Char('\'') +
                textforms::generalDateTime(QFileInfo(drawingPath).lastModified()) +
                QStringLiteral("',");
    }
    // A full path keeps its letter case: on most file systems it names no file otherwise.
    const QString drawingField =
        recordline::oneLine(form.fullPath ? drawingPath : drawingSpec.toUpper());
    for (const ExtractedRecord& record : extracted.records) {
        QString line = record.line;
        if (form.includeDrawingName) {
            line = stamp + line;
            line = form.commaDelimited
                       ? QLatin1Char('\'') + drawingField + QStringLiteral("',") + line
                       : drawingField + blanks + recordline::cdfToSdf(line, form.spaces);
        } else if (!form.commaDelimited) {
            line = recordline::cdfToSdf(line, form.spaces);
        }
        if (form.commaDelimited) widest = std::max(widest, recordline::countFields(line));
        records.append(line);
    }
    if (maxFields) *maxFields = widest;
    return records;
}

QString extractedMessage(int drawings, double seconds) {
    return QStringLiteral("Attributes from ") + QString::number(drawings) +
           QStringLiteral(" file(s) extracted in ") + textforms::elapsedSeconds(seconds) +
           QStringLiteral(" second(s).");
}

ExtractionRunResult runExtraction(const ExtractionRunRequest& request,
                                  const drawingapi::ReaderFactory& factory, ExtractionRunUi& ui,
                                  const platform::Clock& clock) {
    ExtractionRunResult result;
    const QDateTime started = clock.now();
    ui.setStatus(QStringLiteral("Extraction in process..."));
    RunExtractFile extractFile(request.programFolder);
    const QString templatePath = platform::joinPath(request.templateFolder, request.templateName);

    DrawingSession session(factory, ui);
    if (!session.start()) {
        result.outcome = ExtractionRunResult::Outcome::NoApplication;
        ui.setProblem(QStringLiteral("Unable to open AutoCAD."));
        return result;
    }
    const core::Status loaded = session.loadTemplate(templatePath);
    QString error = loaded ? QString() : loaded.error().description;
    platform::TextWriter log;
    log.open(platform::joinPath(request.programFolder, "err.log"));
    if (!error.isEmpty()) {
        log.writeLine(runLogLine(clock, "Template", templatePath, error));
        log.commit();
        session.stop();
        result.outcome = ExtractionRunResult::Outcome::TemplateRejected;
        result.lastError = error;
        ui.setProblem(QStringLiteral("No attributes extracted. ") + error);
        return result;
    }

    const qint64 total = request.drawingNames.size();
    for (const QString& name : request.drawingNames) {
        if (ui.cancelRequested()) {
            result.cancelled = true;
            result.drawingsNotReached = total - result.drawingsDone;
            break;
        }
        ui.setProgress(result.drawingsDone, total);
        ++result.drawingsDone;
        // The name as listed: two drawings may differ only in letter case. Only a name missing
        // as written is looked up ignoring case.
        const QString drawing =
            platform::resolvePath(platform::joinPath(request.drawingFolder, name));
        const QString shown = name.toUpper();
        ui.setBusy(true);
        DrawingExtraction extraction = extractDrawing(
            session, drawing, extractFile.path(), ui,
            {QStringLiteral("File ") + shown + QStringLiteral(" not found."),
             QStringLiteral("Error opening file ") + shown + QStringLiteral("."), QString()});
        error = extraction.error;
        ui.setBusy(false);
        if (!error.isEmpty()) {
            log.writeLine(runLogLine(clock, "Drawing", drawing, error));
            ++result.drawingsFailed;
            continue;
        }
        qint64 maxFields = 0;
        const QStringList records =
            recordsInListForm(extraction.records, drawing, name, request.form, &maxFields);
        result.header = extraction.records.header;
        result.maxFields = std::max(result.maxFields, maxFields);
        if (!records.isEmpty()) ++result.drawingsExtracted;
        result.records += records;
        for (ExtractedRecord& record : extraction.records.records) {
            record.source.drawingPath = drawing;
            result.sources.push_back(std::move(record.source));
        }
    }
    ui.setProgress(0, 0);
    session.stop();
    extractFile.publish();
    log.commit();
    result.lastError = error;
    result.elapsedSeconds = static_cast<double>(started.msecsTo(clock.now())) / 1000.0;
    return result;
}

QString cancelledMessage(qint64 done, qint64 total) {
    return QStringLiteral("Cancelled after ") + QString::number(done) + QStringLiteral(" of ") +
           QString::number(total) + QStringLiteral(" drawing(s).");
}

QString finalStatus(const ExtractionRunResult& result, bool listEmpty) {
    QString text;
    if (listEmpty || result.records.isEmpty()) {
        text = QStringLiteral("No attributes extracted. ") + result.lastError;
    } else {
        text = extractedMessage(result.drawingsExtracted, result.elapsedSeconds);
        if (result.drawingsFailed > 0) {
            text += QLatin1Char(' ') + QString::number(result.drawingsFailed) +
                    QStringLiteral(" drawing(s) could not be read; err.log names them.");
        }
    }
    if (result.cancelled) {
        // The drawings before the click are kept; the user knows where the run stopped.
        const qint64 total = result.drawingsDone + result.drawingsNotReached;
        text = text.trimmed() + QLatin1Char(' ') + cancelledMessage(result.drawingsDone, total);
    }
    return text;
}
