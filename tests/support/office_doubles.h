// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Office components in memory: a spreadsheet program holding workbooks by path, and a database
// of tables with typed fields, transactions and a record of what was done.

#include <map>
#include <optional>
#include <vector>

#include "office/office.h"

namespace fake {

struct MemWorkbook {
    QStringList sheets{"Sheet1"};
    QString activeSheet = "Sheet1";
    // Written cells by sheet, keyed by (row, column) from 1.
    std::map<QString, std::map<std::pair<int, int>, QString>> cells;
    std::vector<std::tuple<int, int, int, int>> autoFits;
    bool closed = false;
};

class MemorySpreadsheet : public office::Spreadsheet,
                          public std::enable_shared_from_this<MemorySpreadsheet> {
public:
    std::map<QString, std::shared_ptr<MemWorkbook>> files;  // workbooks on disk, by path
    std::vector<std::pair<QString, std::shared_ptr<MemWorkbook>>> open;  // path, workbook
    int active = -1;
    bool visible = false;

    office::Result<std::shared_ptr<office::Workbook>> OpenWorkbook(const QString& path) override;
    office::Result<std::shared_ptr<office::Workbook>> AddWorkbook() override;
    office::Result<int> WorkbookCount() const override { return static_cast<int>(open.size()); }
    office::Result<std::shared_ptr<office::Workbook>> ActiveWorkbook() override;
    office::Result<bool> Visible() const override { return visible; }
    office::Status SetVisible(bool v) override {
        visible = v;
        return office::Status(core::Done{});
    }
};

struct MemField {
    QString name;
    bool numeric = false;  // refuses text that is not a number
};

struct MemTable {
    std::vector<MemField> fields;
    std::vector<std::vector<QString>> rows;  // empty text: null
};

class MemoryDatabase : public office::Database {
public:
    std::map<QString, MemTable> tables;  // ordinary tables, in name order
    QStringList tableOrder;
    bool inTransaction = false;
    bool closed = false;

    office::Result<QStringList> TableNames() const override { return tableOrder; }
    office::Result<std::shared_ptr<office::Recordset>> OpenRecordset(const QString& table) override;
    office::Status BeginTrans() override;
    office::Status CommitTrans() override;
    office::Status Rollback() override;
    office::Status Close() override {
        closed = true;
        return core::success();
    }

    std::map<QString, MemTable> committed;  // the tables as of the last commit or opening
};

struct MemDocument {
    struct Block {
        bool atEnd = true;
        QString text;                   // lines
        std::vector<QStringList> rows;  // a table's cells
        int pointSize = 0;
        std::optional<office::TableFormat> table;
    };
    std::optional<bool> landscapeAtEnd;  // the end whose page was turned
    std::vector<Block> blocks;           // in the order inserted
};

class MemoryWordProcessor : public office::WordProcessor {
public:
    std::map<QString, std::shared_ptr<MemDocument>> files;
    std::vector<std::pair<QString, std::shared_ptr<MemDocument>>> open;
    bool visible = false;

    office::Result<std::shared_ptr<office::TextDocument>> OpenDocument(
        const QString& path) override;
    office::Result<std::shared_ptr<office::TextDocument>> AddDocument() override;
    office::Result<int> DocumentCount() const override { return static_cast<int>(open.size()); }
    office::Result<std::shared_ptr<office::TextDocument>> ActiveDocument() override;
    office::Result<bool> Visible() const override { return visible; }
    office::Status SetVisible(bool v) override {
        visible = v;
        return core::success();
    }
};

// Office services over the doubles; leave a member empty to make that connection fail.
office::Office officeOf(std::shared_ptr<MemorySpreadsheet> running,
                        std::shared_ptr<MemorySpreadsheet> started,
                        std::map<QString, std::shared_ptr<MemoryDatabase>> databases,
                        std::shared_ptr<MemoryWordProcessor> runningWord = nullptr);

}  // namespace fake
