// The document destination: the records as lines of small type, or as a table, at the start or
// the end of a document on a landscape page.

#include <QCheckBox>
#include <QLabel>

#include "mainwindow/form1.h"
#include "output/office_link.h"

void Form1::sendToDocument() {
    const int width = recordWidth();
    const DataGrid grid = BuildDataGrid(Check9->checkState() == Qt::Checked);
    using office::TextDocument;
    using office::WordProcessor;
    const auto link = output::linkTo<WordProcessor, TextDocument>(
        office.runningWordProcessor, office.startWordProcessor,
        {[](WordProcessor& p, const QString& path) { return p.OpenDocument(path); },
         [](WordProcessor& p) { return p.AddDocument(); },
         [](WordProcessor& p) { return p.DocumentCount(); },
         [](WordProcessor& p) { return p.ActiveDocument(); }},
        mstrWordFile);
    if (!link) {
        reportLinkFailure(link.error(), QStringLiteral("Word"));
        return;
    }
    WordProcessor& word = *link.value().program;
    const std::shared_ptr<TextDocument> document = link.value().file;
    m_platform.ui.processEvents();
    if (!word.Visible().valueOr(true)) word.SetVisible(true);
    if (document) {
        document->SetLandscape();
        const bool table = Check8->checkState() == Qt::Checked;
        const QChar separator = table ? QLatin1Char('\t') : QLatin1Char(',');
        QString text;
        for (size_t r = 0; r + 1 < grid.size(); ++r) {
            for (int c = 0; c < width && c < static_cast<int>(grid[r].size()); ++c) {
                text += grid[r][c];
                text += c + 1 < width ? QString(separator) : QStringLiteral("\r\n");
            }
        }
        std::optional<office::TableFormat> format;
        if (table) format = office::TableFormat{Check9->checkState() == Qt::Checked};
        document->InsertBlock(Check7->checkState() == Qt::Checked, text, 8, format);
    }
    setStatus(QStringLiteral("Data sent to Word."));
}
