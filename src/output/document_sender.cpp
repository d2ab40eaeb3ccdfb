// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/document_sender.h"

#include <QFileInfo>
#include <algorithm>
#include <optional>
#include <vector>

#include "output/office_link.h"
#include "output/send_grid.h"
#include "output/spreadsheet_sender.h"

namespace output {
namespace {

// The inserted lines: one per grid row (the spare last one left out), cells separated by
// commas.
QString blockText(const DataGrid& grid, int width) {
    QString text;
    for (size_t r = 0; r + 1 < grid.size(); ++r) {
        for (int c = 0; c < width && c < static_cast<int>(grid[r].size()); ++c) {
            text += grid[r][static_cast<std::size_t>(c)];
            text += c + 1 < width ? QStringLiteral(",") : QStringLiteral("\r\n");
        }
    }
    return text;
}

// The rows of a table: the same cells, each kept whole. (Joined by tabs and split again, a tab
// inside a value would split its cell and move every later cell of the row.)
std::vector<QStringList> tableRows(const DataGrid& grid, int width) {
    std::vector<QStringList> rows;
    for (size_t r = 0; r + 1 < grid.size(); ++r) {
        const auto sent = std::min(static_cast<std::size_t>(std::max(width, 0)), grid[r].size());
        rows.emplace_back(grid[r].begin(), grid[r].begin() + static_cast<std::ptrdiff_t>(sent));
    }
    return rows;
}

}  // namespace

SendResult sendToDocument(const SendRequest& request, const SendRecords& records,
                          SendServices& services) {
    const QString program = QStringLiteral("the document");
    auto failed = [&](const office::Error& error) {
        services.ui.beep();
        return SendResult{false, notSent(program, error.description)};
    };
    const int width = recordWidth(records);
    // Before any document is opened or made: a send of nothing must not turn a page or make a
    // document, as the workbook and the database sends make no change either.
    if (!splitIntoFields(width, records.records)) {
        return failed({0, QStringLiteral("space-delimited records have no fields to send")});
    }
    const DataGrid grid = dataGrid(request, records, request.tags);
    using office::TextDocument;
    using office::WordProcessor;
    // Why a document could not be opened or made, and whether the send made a new one: the
    // link only says whether it got a document.
    std::optional<office::Error> fileError;
    bool added = false;
    auto noted = [&](office::Result<std::shared_ptr<TextDocument>> result) {
        if (!result) fileError = result.error();
        return result;
    };
    const auto link = linkTo<WordProcessor, TextDocument>(
        services.office.runningWordProcessor, services.office.startWordProcessor,
        request.newFileFolder,
        {[&](WordProcessor& p, const QString& path) { return noted(p.OpenDocument(path)); },
         [&](WordProcessor& p) {
             added = true;
             return noted(p.AddDocument());
         },
         [](WordProcessor& p) { return p.DocumentCount(); },
         [](WordProcessor& p) { return p.ActiveDocument(); }},
        request.file);
    if (!link) {
        reportLinkFailure(services, link.error(), program, request.fromList);
        return {false, QString()};
    }
    WordProcessor& word = *link.value().program;
    const std::shared_ptr<TextDocument> document = link.value().file;
    services.ui.processEvents();
    if (!word.Visible().valueOr(true)) word.SetVisible(true);
    // With document files a send that wrote nothing must not say it was sent; the document's
    // own error names the file and the reason.
    if (!document) {
        return failed(fileError.value_or(office::Error{
            0, request.file.isEmpty() ? QStringLiteral("no document could be made")
                                      : QStringLiteral("the document '") + request.file +
                                            QStringLiteral("' could not be opened")}));
    }
    // Each step saves the document; stopping at the first refusal leaves the file as it was.
    if (const auto turned = document->SetLandscape(request.append); !turned) {
        return failed(turned.error());
    }
    const auto inserted = request.createTable
                              ? document->InsertTable(request.append, tableRows(grid, width), 8,
                                                      office::TableFormat{request.tags})
                              : document->InsertBlock(request.append, blockText(grid, width), 8);
    if (!inserted) return failed(inserted.error());
    const QString path = document->FullName().valueOr({});
    // The document is left to the user in the desktop's word processor; a list sends on.
    if (!request.fromList && !path.isEmpty() && QFileInfo::exists(path)) {
        services.shell.openDocument(path);
    }
    return {true, added && !path.isEmpty()
                      ? QStringLiteral("Data sent to the new document ") + path + QLatin1Char('.')
                      : sentTo(program, path)};
}

}  // namespace output
