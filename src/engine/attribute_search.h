// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The attribute search: every block attribute whose value (or tag) matches a text, in the
// drawings of one folder pattern, as delimited result lines. The search window and
// quillon-search both run it; it reaches the user interface only through EngineUi and the
// callbacks below.

#include <QString>
#include <QStringList>
#include <functional>

#include "engine/drawing_api/drawing_api.h"
#include "engine/engine_ui.h"
#include "platform/clock.h"

class DrawingSession;

// What to look for. Block and layer lists are "*" for all, or names separated by commas or
// blanks, matched ignoring letter case.
struct SearchCriteria {
    // "Both", "Model" or "Paper", letter for letter; any other text searches nothing.
    QString space = QStringLiteral("Both");
    QString blocks = QStringLiteral("*");
    QString layers = QStringLiteral("*");
    QString text;              // the search text, taken as it is (not trimmed)
    bool matchCase = false;    // compare with exact letter case
    bool exactPhrase = false;  // the whole value (or tag) must equal the text
    bool findTag = false;      // compare the tag instead of the value
};

// The column names of the result lines joined by `delimiter`, without a line end.
QString searchHeaderLine(const QString& delimiter);

// "12 hits in 3 files in 1.53 seconds".
QString searchTotalsLine(qint64 hits, qint64 filesWithHits, double seconds);

// A block or layer list as the search compares it: "*", or the names between single blanks
// with a blank at each end, so a name is found by looking for blank + name + blank.
QString normalisedNameList(const QString& list);

// The search of the drawing open in a session. One object serves a whole run: it keeps the
// running hit total and the run's cancellation, which a window's Abort button sets while the
// walk lets pending events run once per block reference.
class AttributeSearch {
public:
    // Receives each result line (eleven fields, no line end) as soon as it is found.
    using LineFound = std::function<void(const QString& line)>;

    explicit AttributeSearch(EngineUi& ui) : m_ui(ui) {}

    // Walks model and/or paper space of the open drawing; `drawingName` is the first field of
    // every line. Returns the hits of this drawing, also added to hitTotal(). A failing call of
    // the drawing skips that step; an abort ends the walk at the next block reference.
    qint64 searchDrawing(DrawingSession& session, const QString& drawingName,
                         const SearchCriteria& criteria, const QString& delimiter,
                         const LineFound& found);

    void requestAbort() { m_abortRequested = true; }
    bool abortRequested() const { return m_abortRequested; }
    void clearAbort() { m_abortRequested = false; }
    qint64 hitTotal() const { return m_hitTotal; }

private:
    struct Walk;
    void walkSpace(const drawingapi::Drawing& drawing, drawingapi::Space space,
                   const QString& spaceText, Walk& walk);

    EngineUi& m_ui;
    bool m_abortRequested = false;
    qint64 m_hitTotal = 0;
};

// A folder and a file wildcard ("/data/dwg/*.dwg"): the folder is found ignoring letter case,
// the wildcard matches names ignoring letter case, so "*.dxf" and "*.DWG" list alike.
struct FolderPattern {
    QString folder;   // as found on disk; empty for the current folder
    QString pattern;  // the file-name part; empty matches every file
};
FolderPattern splitFolderPattern(const QString& folderPattern);

// The plain files (not hidden, not system) a pattern names, as full paths in name order.
QStringList drawingsOf(const FolderPattern& folderPattern);

// A search over the drawings of a folder pattern with a drawing session of its own.
class SearchRun {
public:
    struct Events {
        // Before each drawing, with its file name: the status line, and the moment a window
        // reads changed criteria for this drawing (setCriteria).
        std::function<void(const QString& fileName)> searching;
        AttributeSearch::LineFound lineFound;
        // A drawing the reader refused, with its reason; the run goes on.
        std::function<void(const QString& path, const QString& reason)> openFailed;
    };
    struct Totals {
        bool started = false;  // false: the drawing reader session could not be created
        bool aborted = false;
        qint64 hits = 0;
        qint64 filesWithHits = 0;
        qint64 drawingsSearched = 0;
        qint64 openFailures = 0;
        double elapsedSeconds = 0;
    };

    SearchRun(drawingapi::ReaderFactory factory, EngineUi& ui, const platform::Clock& clock)
        : m_factory(std::move(factory)), m_ui(ui), m_clock(clock), m_search(ui) {}

    void setCriteria(const SearchCriteria& criteria) { m_criteria = criteria; }
    const SearchCriteria& criteria() const { return m_criteria; }
    // The Drawing column: the full path, or the bare file name.
    void setFullPath(bool fullPath) { m_fullPath = fullPath; }
    void setDelimiter(const QString& delimiter) { m_delimiter = delimiter; }
    // How many drawings are read at once (search_pool.cpp); the events, lines and totals are
    // those of one whatever the number.
    void setJobs(int jobs) { m_jobs = jobs < 1 ? 1 : jobs; }

    // Searches `drawings` (full paths) in order. The abort is checked per block reference and
    // between drawings; pending events run before each drawing after the first.
    Totals run(const QStringList& drawings, const Events& events);

    void requestAbort() { m_search.requestAbort(); }
    bool running() const { return m_running; }

private:
    drawingapi::ReaderFactory m_factory;
    EngineUi& m_ui;
    const platform::Clock& m_clock;
    AttributeSearch m_search;
    SearchCriteria m_criteria;
    QString m_delimiter = QStringLiteral(",");
    bool m_fullPath = false;
    bool m_running = false;
    int m_jobs = 1;

    Totals runOnThreads(const QStringList& drawings, const Events& events);
};
