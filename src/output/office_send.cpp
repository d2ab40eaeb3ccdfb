// The spreadsheet, database and document destinations of the send command.

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <climits>

#include "batch/list_line.h"
#include "engine/module1.h"
#include "mainwindow/form1.h"
#include "output/office_link.h"
#include "records/record_list_model.h"

namespace {

const QString kTitle = QStringLiteral("Quillon");

// The cells that are sent: every row but the spare last one, the first `width` columns.
office::Grid sentCells(const Form1::DataGrid& grid, int width) {
    office::Grid cells;
    for (size_t r = 0; r + 1 < grid.size(); ++r) {
        cells.emplace_back(grid[r].begin(),
                           grid[r].begin() + std::min<size_t>(width, grid[r].size()));
    }
    return cells;
}

// A status line for a send that wrote nothing, ending with one full stop.
QString notSent(const QString& program, QString reason) {
    if (!reason.endsWith(QLatin1Char('.'))) reason += QLatin1Char('.');
    return QStringLiteral("Data not sent to ") + program + QStringLiteral(": ") + reason;
}

// Row and column boxes hold what a list file gave them ("3abc" too): their leading number counts.
int startCell(const QString& text) {
    return static_cast<int>(std::clamp<long long>(batch::numericValue(text), 1, INT_MAX));
}

// Only records in comma-delimited form ('A','B') split into fields: a space-delimited one would
// be sent as an empty row.
bool splitIntoFields(int width, const QStringList& records) {
    return width > 0 && std::all_of(records.begin(), records.end(), [](const QString& record) {
               return record.size() >= 2 && record.startsWith(QLatin1Char('\'')) &&
                      record.endsWith(QLatin1Char('\''));
           });
}

const QString kNoFields = QStringLiteral("space-delimited records have no fields to send");

office::Grid transposed(const office::Grid& cells, int width) {
    office::Grid result(width, std::vector<QString>(cells.size()));
    for (size_t r = 0; r < cells.size(); ++r) {
        for (size_t c = 0; c < cells[r].size(); ++c) result[c][r] = cells[r][c];
    }
    return result;
}

}  // namespace

int Form1::recordWidth() const {
    return static_cast<int>(std::max<qint64>(records->maxFields() - 1, 0));
}

void Form1::sendToOffice() {
    const Destination chosen = destination();
    const QString path = chosen == Destination::Excel    ? mstrExcelFile
                         : chosen == Destination::Access ? mstrAccessFile
                                                         : mstrWordFile;
    if (!path.isEmpty() && !Module1::FileExists(path)) {
        m_platform.ui.beep();
        setStatus(QStringLiteral("File '") + path + QStringLiteral("' does not exist."));
        return;
    }
    if (chosen == Destination::Access) {
        sendToDatabase();
    } else {
        chosen == Destination::Excel ? sendToSpreadsheet() : sendToDocument();
    }
}

void Form1::showErrorBox(const office::Error& error) {
    m_platform.dialogs.messageBox(QStringLiteral("Error"),
                                  QString::number(error.number) + " : " + error.description,
                                  platform::MessageIcon::Exclamation);
}

void Form1::reportLinkFailure(const office::Error& error, const QString& program) {
    showErrorBox(error);
    m_platform.ui.beep();
    if (!mblnBatchSend) {
        m_platform.dialogs.messageBox(
            kTitle, QStringLiteral("Error! Unable to establish link to ") + program + ".",
            platform::MessageIcon::Exclamation);
    }
}

void Form1::sendToSpreadsheet() {
    if (!splitIntoFields(recordWidth(), selectedRecords())) {
        m_platform.ui.beep();
        setStatus(notSent(QStringLiteral("Excel"), kNoFields));
        return;
    }
    const int width = recordWidth();
    const DataGrid grid = BuildDataGrid(Check9->checkState() == Qt::Checked);
    const int row = startCell(Text2->text());
    const int column = startCell(Text3->text());
    using office::Spreadsheet;
    using office::Workbook;
    const auto link = output::linkTo<Spreadsheet, Workbook>(
        office.runningSpreadsheet, office.startSpreadsheet,
        {[](Spreadsheet& p, const QString& path) { return p.OpenWorkbook(path); },
         [](Spreadsheet& p) { return p.AddWorkbook(); },
         [](Spreadsheet& p) { return p.WorkbookCount(); },
         [](Spreadsheet& p) { return p.ActiveWorkbook(); }},
        mstrExcelFile);
    if (!link) {
        reportLinkFailure(link.error(), QStringLiteral("Excel"));
        return;
    }
    Spreadsheet& excel = *link.value().program;
    const std::shared_ptr<Workbook> book = link.value().file;
    m_platform.ui.processEvents();
    if (!excel.Visible().valueOr(true)) excel.SetVisible(true);
    if (!book) {
        // With workbook files a send that wrote nothing must not say it was sent.
        m_platform.ui.beep();
        setStatus(QStringLiteral("Data not sent to Excel: the workbook could not be opened."));
        return;
    }
    // Writing into whichever sheet is active instead would overwrite cells the user never named.
    if (!mstrExcelSheet.isEmpty() && !book->ActivateSheet(mstrExcelSheet)) {
        m_platform.ui.beep();
        setStatus(notSent(QStringLiteral("Excel"), QStringLiteral("sheet ") + mstrExcelSheet +
                                                       QStringLiteral(" not found")));
        return;
    }
    const office::Grid cells = sentCells(grid, width);
    const bool transpose = Check3->checkState() == Qt::Checked;
    const office::Grid written = transpose ? transposed(cells, width) : cells;
    if (const auto wrote = book->WriteRange(row, column, written); !wrote) {
        m_platform.ui.beep();
        setStatus(QStringLiteral("Data not sent to Excel: ") + wrote.error().description);
        return;
    }
    if (Check10->checkState() == Qt::Checked && !written.empty()) {
        book->AutoFitColumns(row, column, static_cast<int>(written.size()),
                             static_cast<int>(written.front().size()));
    }
    setStatus(QStringLiteral("Data sent to Excel."));
    // The workbook is left to the user in the desktop's spreadsheet program; a batch sends on.
    if (!mblnBatchSend) {
        if (const auto path = book->FullName(); path && QFileInfo::exists(path.value())) {
            m_platform.shell.openDocument(path.value());
        }
    }
}

void Form1::sendToDatabase() {
    if (mstrAccessFile.isEmpty()) {
        m_platform.ui.beep();
        setStatus(QStringLiteral("No database specified."));
        return;
    }
    if (!splitIntoFields(recordWidth(), selectedRecords())) {
        m_platform.ui.beep();
        setStatus(notSent(QStringLiteral("Access"), kNoFields));
        return;
    }
    const auto opened = office.openDatabase(mstrAccessFile, false);
    if (!opened || !opened.value()) {
        m_platform.ui.beep();
        const office::Error error = opened ? office::Error{} : opened.error();
        showErrorBox(error);
        setStatus(QStringLiteral("Error opening database ") + mstrAccessFile + ".");
        return;
    }
    office::Database& database = *opened.value();
    if (mstrAccessTable.isEmpty()) {
        m_platform.ui.beep();
        setStatus(QStringLiteral("No table specified."));
        database.Close();
        return;
    }
    const auto recordset = database.OpenRecordset(mstrAccessTable);
    if (!recordset || !recordset.value()) {
        m_platform.ui.beep();
        const office::Error error =
            recordset ? office::Error{} : recordset.error();
        showErrorBox(error);
        setStatus(QStringLiteral("Error opening table ") + mstrAccessTable + ".");
        database.Close();
        return;
    }
    office::Recordset& table = *recordset.value();
    const int width = recordWidth();
    const int fields = table.FieldCount().valueOr(0);
    auto closeBoth = [&] {
        table.Close();
        database.Close();
    };
    if (fields < width) {
        m_platform.ui.beep();
        if (!mblnBatchSend) {
            m_platform.dialogs.messageBox(
                kTitle,
                QStringLiteral(
                    "Error! Number of fields in table and data don't match.\r\nTable: ") +
                    QString::number(fields) + QStringLiteral("\r\nData: ") + QString::number(width),
                platform::MessageIcon::Exclamation);
        }
        closeBoth();
        return;
    }
    if (Check4->checkState() != Qt::Checked) {
        if (!mblnBatchSend) {
            const int count = table.RecordCount().valueOr(0);
            if (count > 0 &&
                m_platform.dialogs.messageBox(
                    kTitle,
                    QString::number(count) +
                        QStringLiteral(" record(s) found in table. Do you want to overwrite them "
                                       "with new data?"),
                    platform::MessageIcon::Question, platform::MessageButtons::YesNo,
                    platform::DialogButton::No) != platform::DialogButton::Yes) {
                closeBoth();
                setStatus(QStringLiteral("Data transfer to Access terminated."));
                return;
            }
        }
    }
    QString field;
    // `badField`: the field that refused its value, if that was the failure.
    auto failed = [&](const office::Error& error, const QString& badField = {}) {
        database.Rollback();
        closeBoth();
        m_platform.ui.beep();
        setStatus(notSent(QStringLiteral("Access"),
                          badField.isEmpty() ? error.description
                                             : QStringLiteral("field ") + badField +
                                                   QStringLiteral(": ") + error.description));
        if (!mblnBatchSend) {
            m_platform.dialogs.messageBox(kTitle,
                                          QStringLiteral("Problem with field ") + field +
                                              QStringLiteral(".\r\n") + error.description,
                                          platform::MessageIcon::Exclamation);
        }
    };
    // The old rows go in the same transaction as the new ones, so a send that fails on a field
    // or at the commit leaves the table as it was.
    if (auto begun = database.BeginTrans(); !begun) return failed(begun.error());
    if (Check4->checkState() != Qt::Checked) {
        if (auto deleted = table.DeleteAll(); !deleted) return failed(deleted.error());
    }
    const DataGrid grid = BuildDataGrid(false);
    for (size_t r = 0; r + 1 < grid.size(); ++r) {
        if (auto added = table.AddNew(); !added) return failed(added.error());
        for (int j = 0; j < width && j < static_cast<int>(grid[r].size()); ++j) {
            if (grid[r][j].isEmpty()) continue;
            field = table.FieldName(j).valueOr({}).toUpper();
            if (auto set = table.SetField(j, grid[r][j]); !set) return failed(set.error(), field);
        }
        if (auto updated = table.Update(); !updated) return failed(updated.error());
    }
    if (auto committed = database.CommitTrans(); !committed) return failed(committed.error());
    closeBoth();
    setStatus(QStringLiteral("Data sent to Access."));
}
