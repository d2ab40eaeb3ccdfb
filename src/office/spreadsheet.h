// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The spreadsheet program as the spreadsheet output drives it: workbooks, sheets, a rectangle of
// cells written in one go, and column widths fitted to their contents.

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "office/result.h"

namespace office {

using Grid = std::vector<std::vector<QString>>;  // rows of cells, from row 0

class Workbook {
public:
    virtual ~Workbook() = default;
    virtual Result<QString> FullName() const = 0;
    virtual Result<QStringList> SheetNames() const = 0;  // in the workbook's order
    virtual Status ActivateSheet(const QString& name) = 0;
    // Writes `cells` into the active sheet with its first cell at (row, column), both from 1.
    virtual Status WriteRange(int row, int column, const Grid& cells) = 0;
    virtual Status AutoFitColumns(int row, int column, int rows, int columns) = 0;
    virtual Status Close() = 0;
};

class Spreadsheet {
public:
    virtual ~Spreadsheet() = default;
    virtual Result<std::shared_ptr<Workbook>> OpenWorkbook(const QString& path) = 0;
    virtual Result<std::shared_ptr<Workbook>> AddWorkbook() = 0;
    virtual Result<int> WorkbookCount() const = 0;
    virtual Result<std::shared_ptr<Workbook>> ActiveWorkbook() = 0;
    virtual Result<bool> Visible() const = 0;
    virtual Status SetVisible(bool visible) = 0;
};

}  // namespace office
