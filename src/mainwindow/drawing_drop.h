// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>

// What a drop from the file manager onto the drawing list asks for: a folder to open, or
// drawings of one folder to select there. Whatever cannot be taken is named in `ignored`.
struct DrawingDrop {
    QString folder;       // the folder to open; empty: nothing usable was dropped
    QStringList names;    // the drawings to select in it; empty when a folder was dropped
    QStringList ignored;  // the file names left out: not a drawing, or of another folder
};

// True for a name ending in .dwg or .dxf, in any letter case.
bool isDrawingName(const QString& name);

// Sorts the dropped `urls`. The first usable entry decides: a folder is opened; a drawing
// opens its folder, and the drawings of that same folder are selected. Entries that are no
// local file, do not exist, are no drawing, or lie in another folder are ignored.
DrawingDrop readDrawingDrop(const QList<QUrl>& urls);

// True when `urls` hold anything the drawing list would take.
bool acceptsDrawingDrop(const QList<QUrl>& urls);
