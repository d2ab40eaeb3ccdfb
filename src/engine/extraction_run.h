// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One extraction run: a drawing session over the selected drawings of one folder with one
// template, each drawing's extract file read back into records, failures into err.log.

#include <QString>
#include <QStringList>
#include <optional>

#include "engine/drawing_api/drawing_api.h"
#include "engine/engine_ui.h"
#include "engine/extracted_records.h"
#include "platform/clock.h"

// How each record is put in the attribute list.
struct RecordForm {
    bool includeDrawingName = true;  // "4) Include Drawing Name"
    bool fullPath = false;           // "Use Full Path"
    bool timestamp = false;          // "Timestamp"
    bool commaDelimited = true;      // CDF; otherwise SDF
    quint8 spaces = 2;               // blanks between SDF fields
};

// What a run needs from the window beyond the engine's own callbacks.
class ExtractionRunUi : public EngineUi {
public:
    virtual void setStatus(const QString& text) = 0;  // the status line, repainted at once
    virtual void setBusy(bool busy) = 0;              // hourglass pointer
    // The status line saying that something went wrong.
    virtual void setProblem(const QString& text) { setStatus(text); }
    // `done` drawings of `total` are through; a total of 0 says the work is over.
    virtual void setProgress(qint64 done, qint64 total) {
        Q_UNUSED(done);
        Q_UNUSED(total);
    }
    // True once the user asked the work to stop. It is asked between drawings: a drawing
    // being read is finished, so nothing is left half done.
    virtual bool cancelRequested() const { return false; }
};

// A run that shows nothing: batch tools, tests and the worker threads of a run on threads.
class QuietRunUi : public ExtractionRunUi {
public:
    void processPendingEvents() override {}
    void showError(const QString&, const QString&) override {}
    void setStatus(const QString&) override {}
    void setBusy(bool) override {}
};

struct ExtractionRunRequest {
    QString programFolder;  // holds extract.txt and err.log
    QString templateFolder;
    QString templateName;
    QString drawingFolder;
    QStringList drawingNames;  // the selected drawings, in list order
    RecordForm form;
};

struct ExtractionRunResult {
    enum class Outcome { NoApplication, TemplateRejected, Finished };
    Outcome outcome = Outcome::Finished;
    QStringList records;                // new attribute-list items, in order
    std::vector<RecordSource> sources;  // where each of them came from, in the same order
    QString header;                     // header row of the last drawing extracted
    qint64 maxFields = 0;               // largest CountFields of the comma-delimited records
    int drawingsExtracted = 0;          // drawings that added at least one record
    int drawingsFailed = 0;  // drawings not found, not opened or not extracted (in err.log)
    QString lastError;       // message of the last drawing, empty when it succeeded
    double elapsedSeconds = 0;
    int drawingsDone = 0;    // drawings read or tried before the run ended
    bool cancelled = false;  // the user stopped the run before its last drawing
    qint64 drawingsNotReached = 0;
};

ExtractionRunResult runExtraction(const ExtractionRunRequest& request,
                                  const drawingapi::ReaderFactory& factory, ExtractionRunUi& ui,
                                  const platform::Clock& clock);

// The records of one drawing in the attribute list's form: the drawing's name (`drawingSpec`,
// upper-cased, or its full path as it is) and time in front, as `form` asks, comma- or
// space-delimited. `maxFields`, when given, receives the largest field count of the
// comma-delimited ones.
QStringList recordsInListForm(const DrawingRecords& extracted, const QString& drawingPath,
                              const QString& drawingSpec, const RecordForm& form,
                              qint64* maxFields = nullptr);

class DrawingSession;

// What a caller says when one drawing cannot be extracted.
struct DrawingMessages {
    QString notFound;
    QString openFailed;     // followed by the reader's reason, when it gives one
    QString extractFailed;  // put before the extraction's own error text
};

struct DrawingExtraction {
    bool extracted = false;  // the drawing's records were taken (and its extract file written)
    QString error;           // empty when nothing went wrong
    DrawingRecords records;  // the drawing's records, each with where it came from
};

// Opens `drawing` read-only in the session (with the template's password), says on the status
// line that it is processed and extracts its attributes into `extractPath`, replacing that
// file. The window's run, a drawing list and a folder scan all extract a drawing this way.
DrawingExtraction extractDrawing(DrawingSession& session, const QString& drawing,
                                 const QString& extractPath, ExtractionRunUi& ui,
                                 const DrawingMessages& messages);

// The status line after a run that added records.
QString extractedMessage(int drawings, double seconds);

// An err.log line of a run: when, what failed ("Template", "Drawing"), its path and why.
QString runLogLine(const platform::Clock& clock, const char* kind, const QString& path,
                   const QString& message);

// What a run stopped by the user says after its own message.
QString cancelledMessage(qint64 done, qint64 total);

// The status line at the end of a run, given whether the attribute list is empty afterwards.
QString finalStatus(const ExtractionRunResult& result, bool listEmpty);
