// "8) GO!": the selected records to the chosen destination.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "mainwindow/form1.h"
#include "output/csv_line.h"
#include "platform/paths.h"
#include "platform/text_writer.h"

void Form1::Command1_Click() {
    if (!beginOperation()) return;
    sendSelected();
    endOperation();
}

void Form1::sendSelected() {
    platform::Hourglass hourglass(m_platform.ui);
    switch (destination()) {
        case Destination::TextFile:
            sendToTextFile();
            break;
        case Destination::Clipboard:
            sendToClipboard();
            break;
        case Destination::Excel:
        case Destination::Access:
        case Destination::Word:
            sendToOffice();
            break;
    }
}

void Form1::sendToTextFile() {
    bool named = false;
    if (mstrTextFile.isEmpty()) {
        mstrTFile = Text1->text();
        mstrTextFile = platform::joinPath(mstrTPath, Text1->text());
        named = true;
    }
    const QString path = platform::resolvePath(mstrTextFile);
    const bool append = Check2->checkState() == Qt::Checked;
    const bool csv = path.right(4).toLower() == QLatin1String(".csv");

    platform::TextWriter file;
    if (file.open(path, append ? platform::TextWriter::Mode::Append
                               : platform::TextWriter::Mode::Replace)) {
        if (Check9->checkState() == Qt::Checked) file.writeLine(BuildHeaderLine(csv));
        for (const QString& record : selectedRecords()) {
            file.writeLine(csv ? csvLine(record) : record);
        }
        file.commit();
    }
    if (named) Dir2_Change();
    if (!file.errorString().isEmpty()) {
        // Nothing was written, or an existing file was left as it was: say so and why.
        setStatus(QStringLiteral("File ") + path + QStringLiteral(" not saved: ") +
                  file.errorString() + QLatin1Char('.'));
        return;
    }
    setStatus(QStringLiteral("File ") + path + QStringLiteral(" saved."));
}

void Form1::sendToClipboard() {
    QString text;
    if (Check9->checkState() == Qt::Checked) text = BuildHeaderLine(false) + QStringLiteral("\r\n");
    for (const QString& record : selectedRecords()) text += record + QStringLiteral("\r\n");
    m_platform.clipboard.clear();
    m_platform.clipboard.setText(text);
    setStatus(QString::number(text.size()) + QStringLiteral(" bytes copied to the clipboard."));
}
