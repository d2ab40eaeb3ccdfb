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
    if (checked(box) != on) setCheckValue(box, on ? CheckValue::Checked : CheckValue::Unchecked);
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
    request.tags = checked(includeTagsCheck);
    request.newFileFolder = outputFolderList->path();
    m_offeredTextFile.clear();
    const DestinationState& target = state(request.destination);
    request.file = target.target;
    switch (request.destination) {
        case Destination::TextFile:
            if (request.file.isEmpty()) {
                // No file chosen in the list: the one named in "New File Name".
                request.file = m_offeredTextFile =
                    platform::joinPath(target.folder, newFileEdit->text());
            }
            request.append = checked(textAppendCheck);
            break;
        case Destination::Clipboard:
            break;
        case Destination::Spreadsheet:
            request.sheet = target.targetItem;
            request.row = startCell(rowEdit->text());
            request.column = startCell(columnEdit->text());
            request.transpose = checked(transposeCheck);
            request.fitColumns = checked(fitColumnsCheck);
            break;
        case Destination::Database:
            request.table = target.targetItem;
            request.append = checked(databaseAppendCheck);
            request.tags = false;
            break;
        case Destination::Document:
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
            break;
        case Destination::Clipboard:
            showValue(includeTagsCheck, request.tags);
            break;
        case Destination::Spreadsheet:
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
            showValue(databaseAppendCheck, request.append);
            break;
        case Destination::Document:
            showValue(documentAppendCheck, request.append);
            showValue(createTableCheck, request.createTable);
            showValue(includeTagsCheck, request.tags);
            break;
    }
    // A drawing list's send lines name their own targets; the window's stay as the user chose
    // them.
    const bool newTextFile = request.destination == Destination::TextFile &&
                             !m_offeredTextFile.isEmpty() && request.file == m_offeredTextFile;
    if (!request.fromList && request.destination != Destination::Clipboard) {
        DestinationState& sent = state(request.destination);
        if (newTextFile) {
            // A new file named in the box: it is listed, and the name is remembered.
            sent.savedFile = newFileEdit->text();
            outputFolderChanged();
        } else {
            sent.target = request.file;
            sent.targetItem =
                request.destination == Destination::Database ? request.table : request.sheet;
        }
    } else if (newTextFile && result.ok) {
        relistOutputFiles();
    }
    m_offeredTextFile.clear();
    // A send may have made a new workbook or document in the folder shown.
    if (result.ok && (request.destination == Destination::Spreadsheet ||
                      request.destination == Destination::Document)) {
        relistOutputFiles();
    }
    if (result.status.isEmpty()) return;
    if (result.ok) {
        setStatus(result.status);
    } else {
        setProblem(result.status);
    }
}

output::SendRecords MainWindow::selectedSendRecords() const {
    return {selectedRecords(), records->header(), records->maxFields()};
}
