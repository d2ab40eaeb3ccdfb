// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A drawing list file run line by line: the header keywords set the drawing-name options,
// drawings are extracted into the record list (a wildcard line through a folder scan), send
// lines deliver everything extracted so far, END ends the program.

#include <QString>
#include <map>

#include "batch/list_line.h"
#include "engine/drawing_api/drawing_api.h"
#include "engine/extraction_run.h"
#include "output/send_request.h"
#include "platform/clock.h"

class RecordListModel;
namespace platform {
class LineReader;
struct ReadLimit;
class TextWriter;
}  // namespace platform

namespace batch {

// The most a drawing list file may have: a list opens with a double-click, so it may come from
// anywhere.
platform::ReadLimit listFileLimit();

// What a run shows in the window, beyond the status line and pending events of every run.
class DrawingListWindow : public ExtractionRunUi {
public:
    virtual void beep() = 0;
    // The drawing-name check boxes of a header keyword, which the user sees change.
    virtual void applyHeaderOptions(const HeaderOptions& options) = 0;
    virtual RecordForm recordForm() const = 0;
    virtual RecordListModel& records() = 0;
    // `count` records from row `first` were appended; they stay selected, as they are sent.
    virtual void recordsAdded(qint64 first, qint64 count) = 0;
    // The destination is chosen as a click on it would; its request as the window holds it.
    virtual output::SendRequest requestFor(output::Destination destination) = 0;
    // A send line's request went out: the window shows its settings and how it went.
    virtual void showSend(const output::SendRequest& request, const output::SendResult& result) = 0;
};

struct DrawingListResult {
    // Ended: an END line was met, and the program is to end at once, without storing settings.
    // Cancelled: the user stopped the list between two drawings; the lines after it did not run.
    enum class Outcome { NoApplication, Ended, Finished, Cancelled };
    Outcome outcome = Outcome::Finished;
    qint64 recordsAdded = 0;
    qint32 drawingsExtracted = 0;
    bool sent = false;  // a send line sent
    // Drawing lines and send lines that failed, each with its line in err.log.
    qint32 failedLines = 0;
    double elapsedSeconds = 0;
    qint64 drawingLinesRun = 0;  // drawing lines (a wildcard line counts once) begun
    qint64 drawingLines = 0;     // drawing lines in the list
};

class DrawingListRunner {
public:
    DrawingListRunner(DrawingListWindow& window, output::Sender& sender,
                      drawingapi::ReaderFactory drawings, const platform::Clock& clock,
                      QString programFolder);

    // Runs the list from its next line. extract.txt and err.log are written in the program
    // folder.
    DrawingListResult run(platform::LineReader& list);

private:
    void extractDrawingLine(class DrawingSession& session, platform::TextWriter& log,
                            const QString& line);
    void scanFolder(const QString& folder, const QString& pattern, bool withSubfolders,
                    const QString& templatePath);
    DrawingExtraction extract(class DrawingSession& session, const QString& drawing);
    // Asks the window whether the user stopped the run, and remembers the answer.
    bool cancelled();
    void addRecords(const QString& drawingPath, const QString& drawingName,
                    const DrawingRecords& extracted);
    void sendLine(platform::TextWriter& log, const QString& line);
    // An update line: every value or drawing that could not be applied has its err.log line;
    // the line counts once among the failed lines.
    void updateLine(platform::TextWriter& log, const QString& line);
    // A failed line: its err.log line (what the line names, then the error) and its count.
    void logFailure(platform::TextWriter& log, const QString& what, const QString& error);

    DrawingListWindow& m_window;
    output::Sender& m_sender;
    drawingapi::ReaderFactory m_drawings;
    const platform::Clock& m_clock;
    QString m_programFolder;
    // The run's state.
    QString m_extractPath;
    DrawingListResult m_result;
    bool m_cancelled = false;
    struct SendTarget {
        QString file, sheet, table;
    };
    std::map<output::Destination, SendTarget> m_lastTargets;
};

}  // namespace batch
