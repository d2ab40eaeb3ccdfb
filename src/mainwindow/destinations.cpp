// Frames "3) Select Output Format" and "7) Send Selected Attributes To": the record format, the
// destination with its options, the output folder and file, and the sheet or table.

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "mainwindow/drive_list.h"
#include "mainwindow/folder_list.h"
#include "mainwindow/form1.h"
#include "output/send_services.h"
#include "platform/folder_listing.h"
#include "platform/paths.h"

namespace {

const QString kTitle = QStringLiteral("Quillon");
constexpr int kTwipsPerPixel = 15;

QStringList patternsOf(Form1::Destination destination) {
    switch (destination) {
        case Form1::Destination::TextFile:
            return {"*.csv", "*.txt"};
        case Form1::Destination::Spreadsheet:
            return {"*.xlsx"};
        case Form1::Destination::Database:
            return {"*.db", "*.sqlite"};
        case Form1::Destination::Document:
            return {"*.docx"};
        case Form1::Destination::Clipboard:
            break;
    }
    return {"*"};
}

}  // namespace

Form1::Destination Form1::destination() const {
    if (Option4->isChecked()) return Destination::Clipboard;
    if (Option5->isChecked()) return Destination::Spreadsheet;
    if (Option6->isChecked()) return Destination::Database;
    if (Option7->isChecked()) return Destination::Document;
    return Destination::TextFile;
}

bool Form1::anyRecordSelected() const {
    return recordView->selectionModel()->hasSelection();
}

void Form1::Option1_Click() {
    Label4->clear();
    Text4->hide();
    Label10->hide();
}

void Form1::Option2_Click() {
    setStatus(QStringLiteral(
        "If you intend to send data to Excel, Access, or Word you should use the CDF format."));
    Text4->show();
    Label10->show();
}

void Form1::Option3_Click() {
    chooseFileDestination(Destination::TextFile);
}
void Form1::Option5_Click() {
    chooseFileDestination(Destination::Spreadsheet);
}
void Form1::Option6_Click() {
    chooseFileDestination(Destination::Database);
}
void Form1::Option7_Click() {
    chooseFileDestination(Destination::Document);
}

void Form1::Option4_Click() {
    for (QWidget* w : std::initializer_list<QWidget*>{Drive2, Dir2, List4, Text1, Text2, Text3,
                                                      Label7, Label8, Label9, Check2, Check3,
                                                      Check4, Check7, Check8, Check10, Combo1}) {
        w->hide();
    }
    Check9->show();
    if (anyRecordSelected()) Command1->setEnabled(true);
}

void Form1::chooseFileDestination(Destination chosen) {
    const bool text = chosen == Destination::TextFile;
    const bool excel = chosen == Destination::Spreadsheet;
    const bool access = chosen == Destination::Database;
    const bool word = chosen == Destination::Document;
    for (QWidget* w : std::initializer_list<QWidget*>{Drive2, Dir2, List4}) w->show();
    List4->resize(List4->width(), (text || word ? 1420 : 840) / kTwipsPerPixel);
    Text1->setVisible(text);
    Label7->setVisible(text);
    for (QWidget* w :
         std::initializer_list<QWidget*>{Text2, Label8, Text3, Label9, Check3, Check10}) {
        w->setVisible(excel);
    }
    Check2->setVisible(text);
    Check4->setVisible(access);
    Check7->setVisible(word);
    Check8->setVisible(word);
    Check9->setVisible(!access);
    Combo1->setVisible(excel || access);

    Dir2_Change();
    QString* folder = text ? &mstrTPath : excel ? &mstrEPath : access ? &mstrAPath : &mstrWPath;
    QString* file = text ? &mstrTFile : excel ? &mstrEFile : access ? &mstrAFile : &mstrWFile;
    if (Drive2->setDrive(*folder) == 0) Dir2->setPath(*folder);

    if (file->isEmpty()) {
        if (excel || access) Combo1->clear();
    } else {
        const QString target = platform::joinPath(*folder, *file);
        if (excel) mstrExcelFile = target;
        if (access) mstrAccessFile = target;
        if (word) mstrWordFile = target;
        const QList<QListWidgetItem*> found =
            List4->findItems(*file, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (found.isEmpty()) {
            // The remembered file is gone: forget it, quietly.
            file->clear();
            if (excel) mstrESheet.clear(), mstrExcelFile.clear(), mstrExcelSheet.clear();
            if (access) mstrATable.clear(), mstrAccessFile.clear(), mstrAccessTable.clear();
            if (word) mstrWordFile.clear();
            if (text) mstrTextFile.clear();
        } else {
            {
                // Selected from here, the click handling runs once, below.
                const QSignalBlocker block(List4);
                List4->setCurrentItem(found.first());
                found.first()->setSelected(true);
            }
            List4_Click();
            QString* item = excel ? &mstrESheet : access ? &mstrATable : nullptr;
            if (item && !item->isEmpty()) {
                (excel ? mstrExcelSheet : mstrAccessTable) = *item;
                const int index =
                    Combo1->findText(*item, Qt::MatchExactly | Qt::MatchCaseSensitive);
                if (index >= 0) {
                    Combo1->setCurrentIndex(index);
                } else {
                    item->clear();
                    (excel ? mstrExcelSheet : mstrAccessTable).clear();
                }
            }
        }
    }
    List4->setToolTip(List4->count() > 0 ? QStringLiteral(" Double-click on file to open ")
                                         : QString());
}

void Form1::Drive2_Change() {
    changeDrive(Drive2, Dir2);
}

void Form1::Dir2_Change() {
    const Destination chosen = destination();
    {
        const QSignalBlocker block(List4);
        List4->clear();
    }
    for (const QString& pattern : patternsOf(chosen)) {
        List4->addItems(platform::listFolder(Dir2->path(), pattern, platform::ListOptions{}));
    }
    Combo1->clear();
    if (List4->count() > 0) SetListScrollWidth(List4);
    List4->setToolTip(List4->count() > 0 ? QStringLiteral(" Double-click on file to open ")
                                         : QString());
    switch (chosen) {
        case Destination::TextFile:
            if (!mblnLoading) mstrTPath = Dir2->path();
            mstrTextFile.clear();
            break;
        case Destination::Spreadsheet:
            mstrExcelFile.clear();
            mstrExcelSheet.clear();
            break;
        case Destination::Database:
            Command1->setEnabled(false);
            mstrAccessFile.clear();
            mstrAccessTable.clear();
            break;
        case Destination::Document:
            mstrWordFile.clear();
            break;
        case Destination::Clipboard:
            break;
    }
}

void Form1::List4_Click() {
    QListWidgetItem* item = List4->currentItem();
    if (List4->count() == 0 || !item) return;
    platform::Hourglass hourglass(m_platform.ui);
    Combo1->clear();
    const QString path = platform::joinPath(Dir2->path(), item->text());
    switch (destination()) {
        case Destination::TextFile:
            Command1->setEnabled(item->isSelected() && anyRecordSelected());
            mstrTPath = Dir2->path();
            mstrTFile = item->text();
            mstrTextFile = path;
            break;
        case Destination::Spreadsheet:
            mstrExcelFile = path;
            mstrExcelSheet.clear();
            mstrEPath = Dir2->path();
            mstrEFile = item->text();
            listSheetsOf(path);
            break;
        case Destination::Database:
            Command1->setEnabled(false);
            mstrAccessFile = path;
            mstrAPath = Dir2->path();
            mstrAFile = item->text();
            listTablesOf(path);
            break;
        case Destination::Document:
            mstrWordFile = path;
            mstrWPath = Dir2->path();
            mstrWFile = item->text();
            break;
        case Destination::Clipboard:
            break;
    }
}

void Form1::listSheetsOf(const QString& path) {
    auto application = office.runningSpreadsheet();
    if (!application) application = office.startSpreadsheet();
    if (!application || !application.value()) {
        m_platform.ui.beep();
        const office::Error error = application ? office::Error{} : application.error();
        output::showErrorBox(m_platform.dialogs, error);
        m_platform.dialogs.messageBox(kTitle, QStringLiteral("Error! Can't create link to Excel."),
                                      platform::MessageIcon::Exclamation);
        return;
    }
    const auto workbook = application.value()->OpenWorkbook(path);
    Combo1->addItem(QString());
    if (!workbook) return;
    Combo1->addItems(workbook.value()->SheetNames().valueOr({}));
    // Filling a drop-down shows its first entry; no sheet is chosen until the user chooses one.
    Combo1->setCurrentIndex(-1);
    workbook.value()->Close();
}

void Form1::listTablesOf(const QString& path) {
    // A database that cannot be opened leaves the table list empty, without a message.
    const auto database = office.openDatabase(path, true);
    if (!database || !database.value()) return;
    Combo1->addItems(database.value()->TableNames().valueOr({}));
    // No table is chosen until the user chooses one: the first table shown would enable a send
    // that was never asked for.
    Combo1->setCurrentIndex(-1);
    database.value()->Close();
}

void Form1::List4_DblClick() {
    const QListWidgetItem* item = List4->currentItem();
    if (!item) return;
    if (!m_platform.shell.openDocument(platform::joinPath(Dir2->path(), item->text()))) {
        m_platform.dialogs.messageBox(kTitle, QStringLiteral("Couldn't open file."),
                                      platform::MessageIcon::Exclamation);
    }
}

void Form1::Combo1_Click() {
    if (destination() == Destination::Spreadsheet)
        mstrExcelSheet = mstrESheet = Combo1->currentText();
    if (destination() == Destination::Database) {
        mstrAccessTable = mstrATable = Combo1->currentText();
    }
    Command1->setEnabled(anyRecordSelected());
}

void Form1::Text1_Change() {
    if (Text1->text().trimmed().isEmpty()) {
        const QSignalBlocker block(Text1);
        Text1->setText(QStringLiteral("file.txt"));
    }
    if (List4->selectedItems().isEmpty()) mstrTextFile.clear();
}

void Form1::Text2_Change() {
    if (Text2->text().toLongLong() > 65536) Text2->setText(QStringLiteral("65536"));
}

void Form1::Text2_LostFocus() {
    if (Text2->text().toLongLong() == 0) Text2->setText(QStringLiteral("1"));
}

void Form1::Text3_Change() {
    if (Text3->text().toLongLong() > 255) Text3->setText(QStringLiteral("255"));
}

void Form1::Text3_LostFocus() {
    if (Text3->text().toLongLong() == 0) Text3->setText(QStringLiteral("1"));
}
