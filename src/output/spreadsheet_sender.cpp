// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/spreadsheet_sender.h"

#include <QFileInfo>
#include <algorithm>

#include "output/office_link.h"
#include "output/send_grid.h"

namespace output {
namespace {

// The cells that are sent: every row but the spare last one, the first `width` columns.
office::Grid sentCells(const DataGrid& grid, int width) {
    office::Grid cells;
    for (size_t r = 0; r + 1 < grid.size(); ++r) {
        const auto sent = std::min(static_cast<std::size_t>(width), grid[r].size());
        cells.emplace_back(grid[r].begin(), grid[r].begin() + static_cast<std::ptrdiff_t>(sent));
    }
    return cells;
}

office::Grid transposed(const office::Grid& cells, int width) {
    office::Grid result(static_cast<std::size_t>(width), std::vector<QString>(cells.size()));
    for (size_t r = 0; r < cells.size(); ++r) {
        for (size_t c = 0; c < cells[r].size(); ++c) result[c][r] = cells[r][c];
    }
    return result;
}

}  // namespace

bool splitIntoFields(int width, const QStringList& records) {
    return width > 0 && std::all_of(records.begin(), records.end(), [](const QString& record) {
               return record.size() >= 2 && record.startsWith(QLatin1Char('\'')) &&
                      record.endsWith(QLatin1Char('\''));
           });
}

SendResult sendToSpreadsheet(const SendRequest& request, const SendRecords& records,
                             SendServices& services) {
    const QString program = QStringLiteral("the spreadsheet");
    const int width = recordWidth(records);
    auto failed = [&](const QString& status) {
        services.ui.beep();
        return SendResult{false, status};
    };
    if (!splitIntoFields(width, records.records)) {
        return failed(
            notSent(program, QStringLiteral("space-delimited records have no fields to send")));
    }
    const DataGrid grid = dataGrid(request, records, request.tags);
    using office::Spreadsheet;
    using office::Workbook;
    const auto link = linkTo<Spreadsheet, Workbook>(
        services.office.runningSpreadsheet, services.office.startSpreadsheet, request.newFileFolder,
        {[](Spreadsheet& p, const QString& path) { return p.OpenWorkbook(path); },
         [](Spreadsheet& p) { return p.AddWorkbook(); },
         [](Spreadsheet& p) { return p.WorkbookCount(); },
         [](Spreadsheet& p) { return p.ActiveWorkbook(); }},
        request.file);
    if (!link) {
        reportLinkFailure(services, link.error(), program, request.fromList);
        return {false, QString()};
    }
    Spreadsheet& excel = *link.value().program;
    const std::shared_ptr<Workbook> book = link.value().file;
    services.ui.processEvents();
    if (!excel.Visible().valueOr(true)) excel.SetVisible(true);
    // With workbook files a send that wrote nothing must not say it was sent.
    if (!book) return failed(notSent(program, QStringLiteral("the workbook could not be opened")));
    // Writing into whichever sheet is active instead would overwrite cells the user never named.
    if (!request.sheet.isEmpty() && !book->ActivateSheet(request.sheet)) {
        return failed(notSent(
            program, QStringLiteral("sheet ") + request.sheet + QStringLiteral(" not found")));
    }
    const office::Grid cells = sentCells(grid, width);
    const office::Grid written = request.transpose ? transposed(cells, width) : cells;
    if (const auto wrote = book->WriteRange(request.row, request.column, written); !wrote) {
        return failed(notSent(program, wrote.error().description));
    }
    if (request.fitColumns && !written.empty()) {
        book->AutoFitColumns(request.row, request.column, static_cast<int>(written.size()),
                             static_cast<int>(written.front().size()));
    }
    // The workbook is left to the user in the desktop's spreadsheet program; a list sends on.
    const QString path = book->FullName().valueOr({});
    if (!request.fromList && !path.isEmpty() && QFileInfo::exists(path)) {
        services.shell.openDocument(path);
    }
    return {true, sentTo(program, path, QStringLiteral("sheet"), request.sheet)};
}

}  // namespace output
