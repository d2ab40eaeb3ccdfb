// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The attribute page of one drawing: a session of its own opens the drawing read-only, every
// attribute goes into a page (attr.htm in the program folder for a double-click), and the
// session is ended on every way out. The window shows the result; the command line prints it.

#include <QString>

#include "engine/drawing_api/drawing_api.h"
#include "engine/extraction_run.h"
#include "platform/clock.h"

struct AttributePageRequest {
    QString drawingFolder;  // the folder the drawing list shows
    QString drawingName;    // the drawing's entry in the list
    QString pagePath;       // where the page is written
};

struct AttributePageResult {
    enum class Outcome { NoApplication, DrawingMissing, OpenFailed, NoTable, NotWritten, Written };
    Outcome outcome = Outcome::Written;
    QString status;     // the status line afterwards
    bool beep = false;  // a failure the user is told of with a beep
    QString drawingPath;
    QString heading;  // "N attributes in PATH"
    qint64 attributes = 0;
    double elapsedSeconds = 0;
};

// The page's place in the program folder.
QString attributePagePath(const QString& programFolder);

// Sets the hourglass and the status lines of the way ("Starting AutoCAD...", "Creating HTML file
// from NAME..."), and restores the pointer; the final status line, the beep and opening the
// page are left to the caller.
AttributePageResult writeAttributePage(const AttributePageRequest& request,
                                       const drawingapi::ReaderFactory& factory,
                                       ExtractionRunUi& ui, const platform::Clock& clock);
