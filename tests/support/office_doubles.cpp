// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/office_doubles.h"

namespace fake {
namespace {

using office::Error;
using office::Result;
using office::Status;

Error failure(const QString& what) {
    return Error{1004, what};
}

class WorkbookRef : public office::Workbook {
public:
    WorkbookRef(QString path, std::shared_ptr<MemWorkbook> book)
        : m_path(std::move(path)), m_book(std::move(book)) {}
    Result<QString> FullName() const override { return m_path; }
    Result<QStringList> SheetNames() const override { return m_book->sheets; }
    Status ActivateSheet(const QString& name) override {
        if (!m_book->sheets.contains(name)) return failure("Subscript out of range");
        m_book->activeSheet = name;
        return core::success();
    }
    Status WriteRange(int row, int column, const office::Grid& cells) override {
        for (size_t r = 0; r < cells.size(); ++r) {
            for (size_t c = 0; c < cells[r].size(); ++c) {
                m_book->cells[m_book->activeSheet][{row + static_cast<int>(r),
                                                    column + static_cast<int>(c)}] = cells[r][c];
            }
        }
        return core::success();
    }
    Status AutoFitColumns(int row, int column, int rows, int columns) override {
        m_book->autoFits.emplace_back(row, column, rows, columns);
        return core::success();
    }
    Status Close() override {
        m_book->closed = true;
        return core::success();
    }

private:
    QString m_path;
    std::shared_ptr<MemWorkbook> m_book;
};

class TableRecordset : public office::Recordset {
public:
    explicit TableRecordset(MemTable& table) : m_table(table) {}
    Result<int> FieldCount() const override { return static_cast<int>(m_table.fields.size()); }
    Result<QString> FieldName(int index) const override {
        if (index < 0 || index >= static_cast<int>(m_table.fields.size())) {
            return failure("Item not found in this collection.");
        }
        return m_table.fields[static_cast<std::size_t>(index)].name;
    }
    Result<int> RecordCount() override { return static_cast<int>(m_table.rows.size()); }
    Status DeleteAll() override {
        m_table.rows.clear();
        return core::success();
    }
    Status AddNew() override {
        m_pending = std::vector<QString>(m_table.fields.size());
        return core::success();
    }
    Status SetField(int index, const QString& value) override {
        if (index < 0 || index >= static_cast<int>(m_pending.size())) {
            return failure("Item not found in this collection.");
        }
        bool ok = true;
        if (m_table.fields[static_cast<std::size_t>(index)].numeric) value.toDouble(&ok);
        if (!ok) return Error{3421, QStringLiteral("Data type conversion error.")};
        m_pending[static_cast<std::size_t>(index)] = value;
        return core::success();
    }
    Status Update() override {
        m_table.rows.push_back(m_pending);
        return core::success();
    }
    Status Close() override { return core::success(); }

private:
    MemTable& m_table;
    std::vector<QString> m_pending;
};

class DocumentRef : public office::TextDocument {
public:
    DocumentRef(QString path, std::shared_ptr<MemDocument> document)
        : m_path(std::move(path)), m_document(std::move(document)) {}
    Result<QString> FullName() const override { return m_path; }
    Status SetLandscape(bool atEnd) override {
        m_document->landscapeAtEnd = atEnd;
        return core::success();
    }
    Status InsertBlock(bool atEnd, const QString& text, int pointSize) override {
        m_document->blocks.push_back({atEnd, text, {}, pointSize, std::nullopt});
        return core::success();
    }
    Status InsertTable(bool atEnd, const std::vector<QStringList>& rows, int pointSize,
                       office::TableFormat format) override {
        m_document->blocks.push_back({atEnd, {}, rows, pointSize, format});
        return core::success();
    }

private:
    QString m_path;
    std::shared_ptr<MemDocument> m_document;
};

}  // namespace

Result<std::shared_ptr<office::TextDocument>> MemoryWordProcessor::OpenDocument(
    const QString& path) {
    const auto found = files.find(path);
    if (found == files.end()) return failure("Document not found: " + path);
    open.emplace_back(path, found->second);
    return std::shared_ptr<office::TextDocument>(
        std::make_shared<DocumentRef>(path, found->second));
}

Result<std::shared_ptr<office::TextDocument>> MemoryWordProcessor::AddDocument() {
    const QString name = QStringLiteral("Document%1").arg(open.size() + 1);
    auto document = std::make_shared<MemDocument>();
    open.emplace_back(name, document);
    return std::shared_ptr<office::TextDocument>(std::make_shared<DocumentRef>(name, document));
}

Result<std::shared_ptr<office::TextDocument>> MemoryWordProcessor::ActiveDocument() {
    if (open.empty()) return failure("No document open");
    return std::shared_ptr<office::TextDocument>(
        std::make_shared<DocumentRef>(open.back().first, open.back().second));
}

Result<std::shared_ptr<office::Workbook>> MemorySpreadsheet::OpenWorkbook(const QString& path) {
    const auto found = files.find(path);
    if (found == files.end()) return failure("Workbook not found: " + path);
    found->second->closed = false;
    open.emplace_back(path, found->second);
    active = static_cast<int>(open.size()) - 1;
    return std::shared_ptr<office::Workbook>(std::make_shared<WorkbookRef>(path, found->second));
}

Result<std::shared_ptr<office::Workbook>> MemorySpreadsheet::AddWorkbook() {
    const QString name = QStringLiteral("Book%1").arg(open.size() + 1);
    auto book = std::make_shared<MemWorkbook>();
    open.emplace_back(name, book);
    active = static_cast<int>(open.size()) - 1;
    return std::shared_ptr<office::Workbook>(std::make_shared<WorkbookRef>(name, book));
}

Result<std::shared_ptr<office::Workbook>> MemorySpreadsheet::ActiveWorkbook() {
    if (active < 0) return failure("No active workbook");
    const auto& [path, book] = open[static_cast<size_t>(active)];
    return std::shared_ptr<office::Workbook>(std::make_shared<WorkbookRef>(path, book));
}

Result<std::shared_ptr<office::Recordset>> MemoryDatabase::OpenRecordset(const QString& table) {
    const auto found = tables.find(table);
    if (found == tables.end()) return failure("Could not find table " + table);
    committed = tables;
    return std::shared_ptr<office::Recordset>(std::make_shared<TableRecordset>(found->second));
}

Status MemoryDatabase::BeginTrans() {
    committed = tables;
    inTransaction = true;
    return core::success();
}

Status MemoryDatabase::CommitTrans() {
    inTransaction = false;
    committed = tables;
    return core::success();
}

Status MemoryDatabase::Rollback() {
    // Only the rows added inside the transaction go; the table objects stay where they are.
    for (auto& [name, table] : tables) table.rows = committed[name].rows;
    inTransaction = false;
    return core::success();
}

office::Office officeOf(std::shared_ptr<MemorySpreadsheet> running,
                        std::shared_ptr<MemorySpreadsheet> started,
                        std::map<QString, std::shared_ptr<MemoryDatabase>> databases,
                        std::shared_ptr<MemoryWordProcessor> runningWord) {
    office::Office office = office::unavailableOffice();
    if (runningWord) {
        office.runningWordProcessor =
            [runningWord]() -> Result<std::shared_ptr<office::WordProcessor>> {
            return std::shared_ptr<office::WordProcessor>(runningWord);
        };
    }
    if (running) {
        office.runningSpreadsheet = [running]() -> Result<std::shared_ptr<office::Spreadsheet>> {
            return std::shared_ptr<office::Spreadsheet>(running);
        };
    }
    if (started) {
        office.startSpreadsheet =
            [started](const QString&) -> Result<std::shared_ptr<office::Spreadsheet>> {
            return std::shared_ptr<office::Spreadsheet>(started);
        };
    }
    office.openDatabase = [databases](const QString& path,
                                      bool) -> Result<std::shared_ptr<office::Database>> {
        const auto found = databases.find(path);
        if (found == databases.end()) return failure("Not a database: " + path);
        found->second->closed = false;
        return std::shared_ptr<office::Database>(found->second);
    };
    return office;
}

}  // namespace fake
