// The document destination: the records as lines of small type, or as a table, at the start or
// the end of a document on a landscape page.

#include <QCheckBox>
#include <QLabel>

#include "mainwindow/form1.h"

void Form1::sendToDocument() {
    const int width = recordWidth();
    const DataGrid grid = BuildDataGrid(Check9->checkState() == Qt::Checked);
    bool started = false;
    auto application = office.runningWordProcessor();
    if (!application || !application.value()) {
        application = office.startWordProcessor();
        started = true;
    }
    if (!application || !application.value()) {
        reportLinkFailure(application ? platform::office::Error{} : application.error(),
                          QStringLiteral("Word"));
        return;
    }
    platform::office::WordProcessor& word = *application.value();
    std::shared_ptr<platform::office::TextDocument> document;
    if (started) {
        document = (mstrWordFile.isEmpty() ? word.AddDocument() : word.OpenDocument(mstrWordFile))
                       .valueOr(nullptr);
    } else if (!mstrWordFile.isEmpty()) {
        auto active = word.ActiveDocument().valueOr(nullptr);
        const bool same = active && active->FullName().valueOr({}).compare(
                                        mstrWordFile, Qt::CaseInsensitive) == 0;
        document = same ? active : word.OpenDocument(mstrWordFile).valueOr(nullptr);
    } else {
        document = word.DocumentCount().valueOr(0) != 0 ? word.ActiveDocument().valueOr(nullptr)
                                                        : word.AddDocument().valueOr(nullptr);
    }
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
        std::optional<platform::office::TableFormat> format;
        if (table) format = platform::office::TableFormat{Check9->checkState() == Qt::Checked};
        document->InsertBlock(Check7->checkState() == Qt::Checked, text, 8, format);
    }
    setStatus(QStringLiteral("Data sent to Word."));
}
