#include "output/document_sender.h"

#include "output/office_link.h"
#include "output/send_grid.h"

namespace output {

SendResult sendToDocument(const SendRequest& request, const SendRecords& records,
                          SendServices& services) {
    const int width = recordWidth(records);
    const DataGrid grid = dataGrid(request, records, request.tags);
    using office::TextDocument;
    using office::WordProcessor;
    const auto link = linkTo<WordProcessor, TextDocument>(
        services.office.runningWordProcessor, services.office.startWordProcessor,
        {[](WordProcessor& p, const QString& path) { return p.OpenDocument(path); },
         [](WordProcessor& p) { return p.AddDocument(); },
         [](WordProcessor& p) { return p.DocumentCount(); },
         [](WordProcessor& p) { return p.ActiveDocument(); }},
        request.file);
    if (!link) {
        reportLinkFailure(services, link.error(), QStringLiteral("Word"), request.fromList);
        return {false, QString()};
    }
    WordProcessor& word = *link.value().program;
    const std::shared_ptr<TextDocument> document = link.value().file;
    services.ui.processEvents();
    if (!word.Visible().valueOr(true)) word.SetVisible(true);
    if (document) {
        document->SetLandscape();
        const QChar separator = request.createTable ? QLatin1Char('\t') : QLatin1Char(',');
        QString text;
        for (size_t r = 0; r + 1 < grid.size(); ++r) {
            for (int c = 0; c < width && c < static_cast<int>(grid[r].size()); ++c) {
                text += grid[r][c];
                text += c + 1 < width ? QString(separator) : QStringLiteral("\r\n");
            }
        }
        std::optional<office::TableFormat> format;
        if (request.createTable) format = office::TableFormat{request.tags};
        document->InsertBlock(request.append, text, 8, format);
    }
    return {true, QStringLiteral("Data sent to Word.")};
}

}  // namespace output
