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
#include "mainwindow/form1.h"
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

void Form1::Command1_Click() {
    const OperationGuard operation(m_busy);
    if (!operation.started()) return;
    platform::Hourglass hourglass(m_platform.ui);
    const output::SendRequest request = sendRequest();
    showSend(request, m_sender->send(request, selectedSendRecords()));
}

output::SendRequest Form1::sendRequest() {
    output::SendRequest request;
    request.destination = destination();
    request.form = recordForm();
    request.fromList = mblnBatchSend;
    request.tags = checked(Check9);
    m_offeredTextFile.clear();
    switch (request.destination) {
        case Destination::TextFile:
            request.file = mstrTextFile;
            if (request.file.isEmpty()) {
                // No file chosen in the list: the one named in "New File Name".
                request.file = m_offeredTextFile = platform::joinPath(mstrTPath, Text1->text());
            }
            request.append = checked(Check2);
            break;
        case Destination::Clipboard:
            break;
        case Destination::Spreadsheet:
            request.file = mstrExcelFile;
            request.sheet = mstrExcelSheet;
            request.row = startCell(Text2->text());
            request.column = startCell(Text3->text());
            request.transpose = checked(Check3);
            request.fitColumns = checked(Check10);
            break;
        case Destination::Database:
            request.file = mstrAccessFile;
            request.table = mstrAccessTable;
            request.append = checked(Check4);
            request.tags = false;
            break;
        case Destination::Document:
            request.file = mstrWordFile;
            request.append = checked(Check7);
            request.createTable = checked(Check8);
            break;
    }
    return request;
}

void Form1::showSend(const output::SendRequest& request, const output::SendResult& result) {
    switch (request.destination) {
        case Destination::TextFile:
            showValue(Check2, request.append);
            showValue(Check9, request.tags);
            if (!m_offeredTextFile.isEmpty() && request.file == m_offeredTextFile) {
                // A new file named in the box: it is listed, and the name is remembered.
                mstrTFile = Text1->text();
                Dir2_Change();
            } else {
                mstrTextFile = request.file;
            }
            break;
        case Destination::Clipboard:
            showValue(Check9, request.tags);
            break;
        case Destination::Spreadsheet:
            mstrExcelFile = request.file;
            mstrExcelSheet = request.sheet;
            if (startCell(Text2->text()) != request.row)
                Text2->setText(QString::number(request.row));
            if (startCell(Text3->text()) != request.column) {
                Text3->setText(QString::number(request.column));
            }
            showValue(Check3, request.transpose);
            showValue(Check10, request.fitColumns);
            showValue(Check9, request.tags);
            break;
        case Destination::Database:
            mstrAccessFile = request.file;
            mstrAccessTable = request.table;
            showValue(Check4, request.append);
            break;
        case Destination::Document:
            mstrWordFile = request.file;
            showValue(Check7, request.append);
            showValue(Check8, request.createTable);
            showValue(Check9, request.tags);
            break;
    }
    m_offeredTextFile.clear();
    if (!result.status.isEmpty()) setStatus(result.status);
}

output::SendRecords Form1::selectedSendRecords() const {
    return {selectedRecords(), records->header(), records->maxFields()};
}
