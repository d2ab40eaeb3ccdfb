// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Writes a table of texts as an HTML table, or as a whole page around one. Every text taken
// from the table, the heading and the title is escaped: attribute values come from drawings
// made elsewhere and the page is opened in the user's browser.

#include <QString>

#include "core/result.h"
#include "engine/engine_ui.h"
#include "engine/text_table.h"

enum class HtmlAlign { Left, Center, Right, None };  // None: no alignment word

struct HtmlTableStyle {
    HtmlAlign tableAlign = HtmlAlign::Left;
    QString background;  // table background image, blank for none
    QString backgroundColor;
    int border = 0;
    QString borderColor;
    int cellSpacing = 0;
    int cellPadding = 0;
    int widthPercent = 100;
    HtmlAlign cellAlign = HtmlAlign::Left;  // of the rows
    bool wrapCellData = true;               // false puts NOWRAP on every row
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

// The table's markup. Pending events run once per row so the window repaints while a large
// table is built.
QString toTable(const TextTable& table, const HtmlTableStyle& style, EngineUi& ui);

// Writes the page in UTF-8 through a temporary file renamed into place; a page that cannot be
// written leaves the old file as it was and gives the system's reason.
core::Status toFile(const TextTable& table, const QString& path, const HtmlPageStyle& page,
                    const HtmlTableStyle& style, EngineUi& ui);

// `&`, `<`, `>`, `"` and `'` as character references.
QString escaped(const QString& text);

}  // namespace htmltable
