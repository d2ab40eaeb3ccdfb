// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/database_sender.h"

#include "output/send_grid.h"
#include "output/spreadsheet_sender.h"

namespace output {
SendResult sendToDatabase(const SendRequest& request, const SendRecords& records,
                          SendServices& services) {
    const QString title = QStringLiteral("Quillon");
    const QString program = QStringLiteral("the database");
    auto failed = [&](const QString& status) {
        services.ui.beep();
        return SendResult{false, status};
    };
    if (request.file.isEmpty()) return failed(QStringLiteral("No database specified."));
    const int width = recordWidth(records);
    if (!splitIntoFields(width, records.records)) {
        return failed(
            notSent(program, QStringLiteral("space-delimited records have no fields to send")));
    }
    const auto opened = services.office.openDatabase(request.file, false);
    if (!opened || !opened.value()) {
        services.ui.beep();
        const office::Error error = opened ? office::Error{} : opened.error();
        showErrorBox(services.dialogs, error);
        return {false,
                core::withReason(QStringLiteral("Error opening database ") + request.file + ".",
                                 error.description)};
    }
    office::Database& database = *opened.value();
    if (request.table.isEmpty()) {
        database.Close();
        return failed(QStringLiteral("No table specified."));
    }
    const auto recordset = database.OpenRecordset(request.table);
    if (!recordset || !recordset.value()) {
        services.ui.beep();
        const office::Error error = recordset ? office::Error{} : recordset.error();
        showErrorBox(services.dialogs, error);
        database.Close();
        return {false,
                core::withReason(QStringLiteral("Error opening table ") + request.table + ".",
                                 error.description)};
    }
    office::Recordset& table = *recordset.value();
    const int fields = table.FieldCount().valueOr(0);
    auto closeBoth = [&] {
        table.Close();
        database.Close();
    };
    if (fields < width) {
        services.ui.beep();
        if (!request.fromList) {
            services.dialogs.messageBox(
                title,
                QStringLiteral(
                    "Error! Number of fields in table and data don't match.\r\nTable: ") +
                    QString::number(fields) + QStringLiteral("\r\nData: ") + QString::number(width),
                platform::MessageIcon::Exclamation);
        }
        closeBoth();
        return {false, notSent(program, QStringLiteral("the table ") + request.table +
                                            QStringLiteral(" has ") + QString::number(fields) +
                                            QStringLiteral(" field(s), the records ") +
                                            QString::number(width))};
    }
    if (!request.append && !request.fromList) {
        const int count = table.RecordCount().valueOr(0);
        if (count > 0 &&
            services.dialogs.messageBox(
                title,
                QString::number(count) +
                    QStringLiteral(" record(s) found in table. Do you want to overwrite them "
                                   "with new data?"),
                platform::MessageIcon::Question, platform::MessageButtons::YesNo,
                platform::DialogButton::No) != platform::DialogButton::Yes) {
            closeBoth();
            return {false, QStringLiteral("Data transfer to the database terminated.")};
        }
    }
    // `badField`: the field that refused its value, if that was the failure. A row or the
    // commit refused as a whole names no field: the last one set did nothing wrong.
    auto rolledBack = [&](const office::Error& error, const QString& badField = {}) {
        database.Rollback();
        closeBoth();
        services.ui.beep();
        const QString status =
            notSent(program, badField.isEmpty() ? error.description
                                                : QStringLiteral("field ") + badField +
                                                      QStringLiteral(": ") + error.description);
        if (!request.fromList) {
            services.dialogs.messageBox(title,
                                        badField.isEmpty()
                                            ? error.description
                                            : QStringLiteral("Problem with field ") + badField +
                                                  QStringLiteral(".\r\n") + error.description,
                                        platform::MessageIcon::Exclamation);
        }
        return SendResult{false, status};
    };
    // The old rows go in the same transaction as the new ones, so a send that fails on a field
    // or at the commit leaves the table as it was.
    if (auto begun = database.BeginTrans(); !begun) return rolledBack(begun.error());
    if (!request.append) {
        if (auto deleted = table.DeleteAll(); !deleted) return rolledBack(deleted.error());
    }
    const DataGrid grid = dataGrid(request, records, false);
    for (size_t r = 0; r + 1 < grid.size(); ++r) {
        if (auto added = table.AddNew(); !added) return rolledBack(added.error());
        const auto& cells = grid[r];
        for (int j = 0; j < width && j < static_cast<int>(cells.size()); ++j) {
            const QString& cell = cells[static_cast<std::size_t>(j)];
            if (cell.isEmpty()) continue;
            if (auto set = table.SetField(j, cell); !set) {
                return rolledBack(set.error(), table.FieldName(j).valueOr({}).toUpper());
            }
        }
        if (auto updated = table.Update(); !updated) return rolledBack(updated.error());
    }
    if (auto committed = database.CommitTrans(); !committed) return rolledBack(committed.error());
    closeBoth();
    return {true, sentTo(program, request.file, QStringLiteral("table"), request.table)};
}

}  // namespace output
