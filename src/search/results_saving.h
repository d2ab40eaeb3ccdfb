// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

#include "platform/services/dialogs.h"

// The search criteria as the window shows them when the results are saved or copied.
struct ShownCriteria {
    QString space;
    QString blocks;
    QString layers;
    QString searchText;
    QString folderPattern;
    bool matchCase = false;
    bool exactPhrase = false;
    bool findTag = false;
    QString delimiter;
};

// "*** Search Criteria ***", six lines restating the criteria and an empty line, each ending
// in CR LF: what goes in front of the results when the criteria are included.
QString criteriaBlock(const ShownCriteria& criteria);

// The text up to its first NUL; the whole text when it has none.
QString stripNull(const QString& text);

// The Save As box for the results: a CSV file or a text file.
platform::FileDialogRequest resultsSaveRequest(bool csv, const QString& startFolder);

// The folder of a chosen file, ending in a separator: where the next Save As box starts.
QString saveFolderOf(const QString& path);

// Writes `text` to `path` through a temporary file renamed into place, so a failed save leaves
// an existing file as it was. Nothing on success, else the reason.
std::optional<QString> writeResultsFile(const QString& path, const QString& text);
