// SPDX-License-Identifier: GPL-3.0-or-later
// "8) GO!": the window's controls become a send request, its sender delivers the selected
// records, and the window shows how it went.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <algorithm>
#include <climits>

#include "batch/list_line.h"
#include "mainwindow/folder_list.h"
#include "mainwindow/main_window.h"
#include "mainwindow/operation_guard.h"
#include "output/destination_sender.h"
#include "platform/paths.h"
#include "records/record_list_model.h"

namespace {

bool checked(const QCheckBox* box) {
    return box->checkState() == Qt::Checked;
}

// A box shows a send's value; one already saying the same (a grayed one too) stays as it is.
void showValue(QCheckBox* box, bool on) {
    if (checked(box) != on) setCheckValue(box, on ? 1 : 0);
}

// Row and column boxes hold what a list file gave them ("3abc" too): their leading number counts.
int startCell(const QString& text) {
    return static_cast<int>(std::clamp<long long>(batch::numericValue(text), 1, INT_MAX));
}

}  // namespace

void MainWindow::sendSelectedRecords() {
    const OperationGuard operation(m_busy);
    if (!operation.started()) return;
    platform::Hourglass hourglass(m_platform.ui);
    const output::SendRequest request = sendRequest();
    showSend(request, m_sender->send(request, selectedSendRecords()));
}

output::SendRequest MainWindow::sendRequest() {
    output::SendRequest request;
    request.destination = destination();
    request.form = recordForm();
    request.fromList = m_batchSend;
    request.tags = checked(includeTagsCheck);
    request.newFileFolder = outputFolderList->path();
    m_offeredTextFile.clear();
    switch (request.destination) {
        case Destination::TextFile:
            request.file = m_textFile;
            if (request.file.isEmpty()) {
                // No file chosen in the list: the one named in "New File Name".
                request.file = m_offeredTextFile =
                    platform::joinPath(m_textFolder, newFileEdit->text());
            }
            request.append = checked(textAppendCheck);
            break;
        case Destination::Clipboard:
            break;
        case Destination::Spreadsheet:
            request.file = m_workbook;
            request.sheet = m_sheet;
            request.row = startCell(rowEdit->text());
            request.column = startCell(columnEdit->text());
            request.transpose = checked(transposeCheck);
            request.fitColumns = checked(fitColumnsCheck);
            break;
        case Destination::Database:
            request.file = m_database;
            request.table = m_table;
            request.append = checked(databaseAppendCheck);
            request.tags = false;
            break;
        case Destination::Document:
            request.file = m_document;
            request.append = checked(documentAppendCheck);
            request.createTable = checked(createTableCheck);
            break;
    }
    return request;
}

void MainWindow::showSend(const output::SendRequest& request, const output::SendResult& result) {
    switch (request.destination) {
        case Destination::TextFile:
            showValue(textAppendCheck, request.append);
            showValue(includeTagsCheck, request.tags);
            if (!m_offeredTextFile.isEmpty() && request.file == m_offeredTextFile) {
                // A new file named in the box: it is listed, and the name is remembered.
                m_savedTextFile = newFileEdit->text();
                outputFolderChanged();
            } else {
                m_textFile = request.file;
            }
            break;
        case Destination::Clipboard:
            showValue(includeTagsCheck, request.tags);
            break;
        case Destination::Spreadsheet:
            m_workbook = request.file;
            m_sheet = request.sheet;
            if (startCell(rowEdit->text()) != request.row)
                rowEdit->setText(QString::number(request.row));
            if (startCell(columnEdit->text()) != request.column) {
                columnEdit->setText(QString::number(request.column));
            }
            showValue(transposeCheck, request.transpose);
            showValue(fitColumnsCheck, request.fitColumns);
            showValue(includeTagsCheck, request.tags);
            break;
        case Destination::Database:
            m_database = request.file;
            m_table = request.table;
            showValue(databaseAppendCheck, request.append);
            break;
        case Destination::Document:
            m_document = request.file;
            showValue(documentAppendCheck, request.append);
            showValue(createTableCheck, request.createTable);
            showValue(includeTagsCheck, request.tags);
            break;
    }
    m_offeredTextFile.clear();
    // A send may have made a new workbook or document in the folder shown.
    if (result.ok && (request.destination == Destination::Spreadsheet ||
                      request.destination == Destination::Document)) {
        relistOutputFiles();
    }
    if (!result.status.isEmpty()) setStatus(result.status);
}

output::SendRecords MainWindow::selectedSendRecords() const {
    return {selectedRecords(), records->header(), records->maxFields()};
}
