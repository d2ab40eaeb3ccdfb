// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One .xlsx workbook open in a spreadsheet session: its sheets, the active one, and the cells
// and column widths written into it, each change saved to its file at once.

#include <QChar>
#include <map>
#include <optional>
#include <set>

#include "office/ooxml_package.h"
#include "office/ooxml_xml.h"
#include "office/spreadsheet.h"
#include "office/xlsx_cells.h"

namespace office::xlsx {

class XlsxWorkbook : public Workbook {
public:
    // Reads the workbook at `path`; a missing, unreadable or malformed file is an error.
    static Result<std::shared_ptr<XlsxWorkbook>> open(const QString& path, QChar decimalPoint);
    // A new workbook with one empty sheet "Sheet1", saved at `path`.
    static Result<std::shared_ptr<XlsxWorkbook>> create(const QString& path, QChar decimalPoint);

    Result<QString> FullName() const override;
    Result<QStringList> SheetNames() const override;
    Status ActivateSheet(const QString& name) override;
    // Plain numbers are stored as numbers, other texts as strings; an empty text clears the
    // cell's value and keeps its style.
    Status WriteRange(int row, int column, const Grid& cells) override;
    Status AutoFitColumns(int row, int column, int rows, int columns) override;
    Status Close() override;

    bool isClosed() const { return m_closed; }

private:
    struct Sheet {
        QString name;
        QString part;  // the sheet's part name
        bool isWorksheet = false;
    };

    XlsxWorkbook(QString path, Package package, QChar decimalPoint);
    Status load();
    Status stillOpen() const;
    Result<pugi::xml_document*> parsedPart(const QString& name);
    Result<pugi::xml_node> activeWorksheet();
    Result<const std::vector<QString>*> sharedStrings();
    // Table columns take the names written into their header cells.
    void renameTableColumns(pugi::xml_node worksheet, CellPosition origin, const Grid& cells);
    void markFullRecalculation();
    void dropCalculationChain();
    Status save();

    QString m_path;
    Package m_package;
    QChar m_decimalPoint;
    QString m_workbookPart;
    std::vector<Relationship> m_workbookRelationships;
    std::vector<Sheet> m_sheets;
    size_t m_active = 0;
    std::map<QString, Document> m_parsedParts;
    std::set<QString> m_changedParts;  // written back into the package at the next save
    std::optional<std::vector<QString>> m_sharedStrings;
    bool m_closed = false;
};

}  // namespace office::xlsx
