// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Writes a two-dimensional array of values as an HTML table, or as a whole page around one.
// Every text taken from the array, the heading and the title is escaped: attribute values come
// from drawings made elsewhere and the page is opened in the user's browser.

#include <QString>
#include <QVariant>

#include "engine/engine_ui.h"

struct HtmlTableStyle {
    qint32 tableAlign = 0;  // 0 left, 1 centre, 2 right; anything else: no alignment word
    QString background;     // table background image, blank for none
    QString backgroundColor;
    qint16 border = 0;
    QString borderColor;
    qint16 cellSpacing = 0;
    qint16 cellPadding = 0;
    qint16 widthPercent = 100;
    qint32 cellAlign = 0;      // rows: 0 left, 1 centre, 2 right
    bool wrapCellData = true;  // false puts NOWRAP on every row
    bool boldFirstRow = false;
    bool boldFirstColumn = false;
    bool boldLastRow = false;
};

struct HtmlPageStyle {
    QString heading;  // shown above the table, blank for none
    QString title;    // blank for none
    QString background;
    QString backgroundColor;
};

namespace htmltable {

enum Result : qint16 {
    Written = 1,
    NotAnArray = -1,
    NotTwoDimensional = -2,  // a list of one dimension
    FileNotWritten = -3,     // the page could not be written; the old file is kept
};

// `table` receives the table markup; it is left untouched on failure. Pending events run once
// per row so the window repaints while a large table is built.
qint16 toTable(const QVariant& array, QString& table, const HtmlTableStyle& style, EngineUi& ui);

// Writes the page in UTF-8 through a temporary file renamed into place. `writeError`, when
// given, receives the system's reason when the file could not be written.
qint16 toFile(const QVariant& array, const QString& path, const HtmlPageStyle& page,
              const HtmlTableStyle& style, EngineUi& ui, QString* writeError = nullptr);

// `&`, `<`, `>`, `"` and `'` as character references.
QString escaped(const QString& text);

}  // namespace htmltable
