// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls in their frames and numbered steps. Layouts place them, so every
// caption fits whatever font and scale the desktop uses, and the lists grow with the window.

#include <QApplication>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>

#include "mainwindow/drive_list.h"
#include "mainwindow/folder_list.h"
#include "mainwindow/folder_path_box.h"
#include "mainwindow/main_window.h"
#include "mainwindow/record_table_view.h"
#include "mainwindow/run_progress.h"
#include "records/record_list_model.h"
#include "records/record_table_model.h"

namespace {

const QColor kDarkBlue(0x00, 0x00, 0xC0);
const QColor kDarkRed(0xC0, 0x00, 0x00);

template <typename W>
W* make(QWidget* parent, const char* objectName, const QString& text = {},
        const QString& toolTip = {}) {
    W* widget;
    if constexpr (std::is_constructible_v<W, QString, QWidget*>) {
        widget = new W(text, parent);
    } else {
        widget = new W(parent);
    }
    widget->setObjectName(QLatin1String(objectName));
    if (!toolTip.isEmpty()) widget->setToolTip(toolTip);
    return widget;
}

void colour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// Only the weight (and size) is set: family and size otherwise follow the application's font.
void setWeight(QWidget* widget, bool bold, qreal pointSize = 0) {
    QFont font;
    font.setBold(bold);
    if (pointSize > 0) font.setPointSizeF(pointSize);
    widget->setFont(font);
}

QGroupBox* frame(QWidget* parent, const char* name, const QString& title, bool boldTitle) {
    auto* box = make<QGroupBox>(parent, name, title);
    if (boldTitle) setWeight(box, true);
    return box;
}

// Lists open a few lines high and take the room the window is given.
int lines(const QWidget* widget, int count) {
    return widget->fontMetrics().lineSpacing() * count +
           2 * widget->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
}

template <typename List>
List* list(QWidget* parent, const char* name, QAbstractItemView::SelectionMode mode,
           int minimumLines) {
    auto* view = make<List>(parent, name);
    view->setSelectionMode(mode);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    view->setMinimumHeight(lines(view, minimumLines));
    // A scroll area's own height hint is a fixed 192 pixels; ignoring it lets the rows' stretch
    // share out the window's height.
    view->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    return view;
}

QListWidget* listBox(QWidget* parent, const char* name, QAbstractItemView::SelectionMode mode,
                     bool sorted) {
    auto* view = list<QListWidget>(parent, name, mode, 3);
    view->setSortingEnabled(sorted);
    return view;
}

// Mount points can be long paths: the closed list shows the start, the open one all of it.
DriveListBox* driveList(QWidget* parent, const char* name) {
    auto* drive = make<DriveListBox>(
        parent, name, {}, QStringLiteral(" The disk or share whose folders are listed "));
    drive->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    drive->setMinimumContentsLength(8);
    return drive;
}

FolderListBox* folderList(QWidget* parent, const char* name) {
    // Three lines at the least: the path box above it reaches any folder too, and the window
    // must fit a laptop's screen.
    auto* folder = list<FolderListBox>(parent, name, QAbstractItemView::SingleSelection, 3);
    folder->setToolTip(QStringLiteral(" Folders: double-click or Enter opens one; type to find "));
    return folder;
}

FolderPathBox* pathBox(QWidget* parent, const char* name, const QString& recent) {
    QString tip = QStringLiteral(" The folder shown: type or paste a path and press Enter");
    if (!recent.isEmpty()) tip += QStringLiteral("; the arrow lists ") + recent;
    return make<FolderPathBox>(parent, name, {}, tip + QLatin1Char(' '));
}

QToolButton* browseButton(QWidget* parent, const char* name, const QString& toolTip) {
    auto* button = make<QToolButton>(parent, name, {}, toolTip);
    button->setText(QStringLiteral("…"));
    return button;
}

// Controls that come and go keep their place, so the rest of the window stays where it was.
void keepPlaceWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

// A box for a few digits, wide enough for them and the caret in its own font.
void fitDigits(QLineEdit* edit, int digits) {
    const QFontMetrics metrics = edit->fontMetrics();
    // A line edit's size hint is 17 "x" wide plus its frame and margins.
    const int chrome = edit->sizeHint().width() - 17 * metrics.horizontalAdvance(QLatin1Char('x'));
    edit->setFixedWidth(chrome + metrics.horizontalAdvance(QString(digits + 1, QLatin1Char('0'))));
}

// A label whose text a handler sets later reserves room for the longest it says.
void reserveWidth(QLabel* label, const QString& longest) {
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(longest));
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets, int stretchAt = -1) {
    auto* layout = new QHBoxLayout;
    int index = 0;
    for (QWidget* widget : widgets) {
        layout->addWidget(widget, index == stretchAt ? 1 : 0);
        ++index;
    }
    return layout;
}

}  // namespace

void MainWindow::createControls() {
    setWindowTitle(QStringLiteral("Quillon"));
    const auto toggle = QAbstractItemView::MultiSelection;  // a click toggles one item
    const auto single = QAbstractItemView::SingleSelection;

    // 1) Drawings: drive, folder, pattern, the drawings and their selection.
    drawingsFrame = frame(this, "drawingsFrame", "1) Select Drawings to Extract From", true);
    drawingDriveList = driveList(drawingsFrame, "drawingDriveList");
    drawingPathBox = pathBox(drawingsFrame, "drawingPathBox", "recent drawing folders");
    drawingBrowseButton = browseButton(drawingsFrame, "drawingBrowseButton",
                                       " Choose the folder of the DWG or DXF drawings ");
    drawingFolderList = folderList(drawingsFrame, "drawingFolderList");
    drawingCountLabel = make<QLabel>(drawingsFrame, "drawingCountLabel");
    colour(drawingCountLabel, kDarkBlue);
    drawingPatternEdit = make<QLineEdit>(drawingsFrame, "drawingPatternEdit", "*.dwg;*.dxf");
    fileSpecButton = make<QPushButton>(drawingsFrame, "fileSpecButton", "..", " File spec screen ");
    drawingList = listBox(drawingsFrame, "drawingList", toggle, true);
    drawingInfoLabel = make<QLabel>(drawingsFrame, "drawingInfoLabel");
    colour(drawingInfoLabel, kDarkBlue);
    selectAllDrawingsButton = make<QPushButton>(drawingsFrame, "selectAllDrawingsButton",
                                                "Select All", " Select all drawings ");
    drawingSelectionLabel = make<QLabel>(drawingsFrame, "drawingSelectionLabel");
    colour(drawingSelectionLabel, kDarkRed);
    drawingSelectionLabel->setAlignment(Qt::AlignCenter);
    unselectAllDrawingsButton = make<QPushButton>(drawingsFrame, "unselectAllDrawingsButton",
                                                  "Unselect All", " Unselect all drawings ");

    // 2) Template: drive, folder, the templates.
    templatesFrame = frame(this, "templatesFrame", "2) Select Template File to Use", true);
    templateDriveList = driveList(templatesFrame, "templateDriveList");
    templatePathBox = pathBox(templatesFrame, "templatePathBox", "recent templates");
    templateBrowseButton = browseButton(templatesFrame, "templateBrowseButton",
                                        " Choose the folder of the template files ");
    templateFolderList = folderList(templatesFrame, "templateFolderList");
    templateCountLabel = make<QLabel>(templatesFrame, "templateCountLabel");
    colour(templateCountLabel, kDarkBlue);
    templateList = listBox(templatesFrame, "templateList", single, true);
    templateInfoLabel = make<QLabel>(templatesFrame, "templateInfoLabel");
    colour(templateInfoLabel, kDarkBlue);

    // 3) Record format.
    formatFrame = frame(this, "formatFrame", "3) Select Output Format", true);
    cdfOption = make<QRadioButton>(formatFrame, "cdfOption", "CDF - Comma Delimited");
    cdfOption->setChecked(true);
    sdfOption = make<QRadioButton>(formatFrame, "sdfOption", "SDF - Space Delimited");
    fieldSpacesEdit = make<QLineEdit>(formatFrame, "fieldSpacesEdit");
    fieldSpacesEdit->setMaxLength(2);
    fieldSpacesEdit->hide();
    fieldSpacesLabel = make<QLabel>(formatFrame, "fieldSpacesLabel", "Spaces between fields");
    fieldSpacesLabel->hide();

    // 4) and 5), and the window's commands.
    includeDrawingNameCheck =
        make<QCheckBox>(this, "includeDrawingNameCheck", "4) Include Drawing Name");
    setWeight(includeDrawingNameCheck, true);
    fullPathCheck = make<QCheckBox>(this, "fullPathCheck", "Use Full Path");
    timestampCheck = make<QCheckBox>(this, "timestampCheck", "Timestamp");
    extractButton = make<QPushButton>(this, "extractButton", "5) &Extract Attributes",
                                      " Extract attributes from selected drawings ");
    drawingListFileButton = make<QPushButton>(this, "drawingListFileButton", "&File",
                                              " Read drawings and templates from a file ");
    aboutButton = make<QPushButton>(this, "aboutButton", "&About", " Help and info about Quillon ");
    exitButton = make<QPushButton>(this, "exitButton", "E&xit", " Exit Quillon ");
    for (QPushButton* b : {extractButton, drawingListFileButton, aboutButton, exitButton})
        setWeight(b, true);
    searchButton = make<QPushButton>(this, "searchButton", {},
                                     " Search drawings for specific attribute tags and values ");
    searchButton->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    updateButton =
        make<QPushButton>(this, "updateButton", {}, " Write edited values back into drawings ");
    updateButton->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    registerButton = make<QPushButton>(this, "registerButton", "Register",
                                       " Keep the attributes of whole folders in a register ");

    // 6) The records.
    recordListLabel = make<QLabel>(this, "recordListLabel", "6) Select Attributes");
    setWeight(recordListLabel, true);
    records = new RecordListModel(this);
    records->setObjectName(QStringLiteral("records"));
    shownRecords = new RecordTableModel(records, this);
    recordList = new RecordTableView(shownRecords, this);
    recordList->setObjectName(QStringLiteral("recordList"));
    recordList->setSelectionMode(toggle);
    // The heading and a few records at the least: the window must fit a laptop's screen.
    recordList->setMinimumHeight(lines(recordList, 4) -
                                 recordList->fontMetrics().lineSpacing() / 2);
    recordList->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    recordFilterEdit =
        make<QLineEdit>(this, "recordFilterEdit", {}, " Show only the records holding this text ");
    recordFilterEdit->setPlaceholderText(QStringLiteral("Filter records"));
    recordFilterEdit->setClearButtonEnabled(true);
    recordCountLabel = make<QLabel>(this, "recordCountLabel", "0 records");
    colour(recordCountLabel, kDarkBlue);
    clearRecordsButton =
        make<QPushButton>(this, "clearRecordsButton", "Clear All", " Clear all items ");
    clearRecordSelectionButton = make<QPushButton>(this, "clearRecordSelectionButton",
                                                   "Clear Selection", " Clear all selected items ");
    selectAllRecordsButton =
        make<QPushButton>(this, "selectAllRecordsButton", "Select All", " Select all items ");
    unselectAllRecordsButton =
        make<QPushButton>(this, "unselectAllRecordsButton", "Unselect All", " Unselect all items ");
    for (QPushButton* b : {clearRecordsButton, clearRecordSelectionButton, selectAllRecordsButton,
                           unselectAllRecordsButton})
        b->setEnabled(false);
    recordSelectionLabel = make<QLabel>(this, "recordSelectionLabel");
    colour(recordSelectionLabel, kDarkRed);

    // 7) Destination, its options, the output folder and its files.
    destinationFrame = frame(this, "destinationFrame", "7) Send Selected Attributes To", true);
    textFileOption = make<QRadioButton>(destinationFrame, "textFileOption", "Text File");
    textFileOption->setChecked(true);
    clipboardOption = make<QRadioButton>(destinationFrame, "clipboardOption", "Clipboard");
    spreadsheetOption =
        make<QRadioButton>(destinationFrame, "spreadsheetOption", "Spreadsheet (.xlsx)");
    databaseOption = make<QRadioButton>(destinationFrame, "databaseOption", "Database (SQLite)");
    documentOption = make<QRadioButton>(destinationFrame, "documentOption", "Document (.docx)");
    destinationGroup = new QButtonGroup(this);
    for (const auto& [option, destination] : {std::pair{textFileOption, Destination::TextFile},
                                              {clipboardOption, Destination::Clipboard},
                                              {spreadsheetOption, Destination::Spreadsheet},
                                              {databaseOption, Destination::Database},
                                              {documentOption, Destination::Document}}) {
        destinationGroup->addButton(option, static_cast<int>(destination));
    }
    newFileLabel = make<QLabel>(destinationFrame, "newFileLabel", "New File Name");
    newFileEdit = make<QLineEdit>(destinationFrame, "newFileEdit");
    rowLabel = make<QLabel>(destinationFrame, "rowLabel", "Row");
    rowEdit = make<QLineEdit>(destinationFrame, "rowEdit", "1");
    rowEdit->setMaxLength(5);
    columnLabel = make<QLabel>(destinationFrame, "columnLabel", "Column");
    columnEdit = make<QLineEdit>(destinationFrame, "columnEdit", "1");
    columnEdit->setMaxLength(3);
    databaseAppendCheck = make<QCheckBox>(destinationFrame, "databaseAppendCheck", "Append Mode");
    documentAppendCheck = make<QCheckBox>(destinationFrame, "documentAppendCheck", "Append Mode");
    createTableCheck = make<QCheckBox>(destinationFrame, "createTableCheck", "Create Table");
    for (QCheckBox* c : {databaseAppendCheck, documentAppendCheck, createTableCheck})
        c->setChecked(true);
    transposeCheck = make<QCheckBox>(destinationFrame, "transposeCheck", "Transpose");
    fitColumnsCheck = make<QCheckBox>(destinationFrame, "fitColumnsCheck", "Adjust column width");
    textAppendCheck = make<QCheckBox>(destinationFrame, "textAppendCheck", "Append Mode");
    textAppendCheck->setChecked(true);
    includeTagsCheck = make<QCheckBox>(destinationFrame, "includeTagsCheck", "Include Tags");
    for (QWidget* w : std::initializer_list<QWidget*>{
             rowLabel, rowEdit, columnLabel, columnEdit, databaseAppendCheck, documentAppendCheck,
             createTableCheck, transposeCheck, fitColumnsCheck}) {
        w->hide();
    }
    outputDriveList = driveList(destinationFrame, "outputDriveList");
    outputPathBox = pathBox(destinationFrame, "outputPathBox", {});
    outputBrowseButton = browseButton(destinationFrame, "outputBrowseButton",
                                      " Choose the folder the records are sent to ");
    outputFolderList = folderList(destinationFrame, "outputFolderList");
    outputFileList = listBox(destinationFrame, "outputFileList", single, false);
    sheetOrTableCombo = make<QComboBox>(destinationFrame, "sheetOrTableCombo");
    sheetOrTableCombo->hide();

    // 8) The status line and the send command.
    messagesFrame = frame(this, "messagesFrame", "System Messages", false);
    statusLabel = make<QLabel>(messagesFrame, "statusLabel");
    statusLabel->setWordWrap(true);
    statusLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A long message wraps or is cut; it never widens the window.
    statusLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusLabel->setMinimumHeight(2 * statusLabel->fontMetrics().lineSpacing());
    runProgress = new RunProgress(messagesFrame);
    sendButton = make<QPushButton>(this, "sendButton", "8) &GO!", " Send selected attributes ");
    // As much larger than the window's text as 12 point is than the classic 8.25.
    const qreal basePoints = QFontInfo(font()).pointSizeF();
    setWeight(sendButton, true, basePoints > 0 ? basePoints * 12 / 8.25 : 12);
    sendButton->setEnabled(false);

    // A bold frame title must not make its controls bold.
    for (QGroupBox* box : {drawingsFrame, formatFrame, destinationFrame, templatesFrame}) {
        for (QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            setWeight(child, false);
        }
    }
    setWeight(fileSpecButton, true);

    // Room for what the handlers write later, measured in the controls' own fonts.
    reserveWidth(drawingCountLabel, QStringLiteral("00000 files"));
    reserveWidth(drawingSelectionLabel, QStringLiteral("00000 sel"));
    reserveWidth(recordSelectionLabel, QStringLiteral("000000 of 000000 selected"));
    reserveWidth(recordCountLabel, QStringLiteral("000000 of 000000 shown"));
    recordFilterEdit->setMinimumWidth(
        recordFilterEdit->fontMetrics().horizontalAdvance(recordFilterEdit->placeholderText()) * 2);
    fitDigits(fieldSpacesEdit, 2);
    fitDigits(rowEdit, 5);
    fitDigits(columnEdit, 3);
    fileSpecButton->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto* drawings = new QVBoxLayout(drawingsFrame);
    drawings->addLayout(row({drawingDriveList, drawingPathBox, drawingBrowseButton}, 1));
    drawings->addWidget(drawingFolderList, 1);
    drawings->addLayout(row({drawingCountLabel, drawingPatternEdit, fileSpecButton}, 1));
    drawings->addWidget(drawingList, 2);
    drawings->addWidget(drawingInfoLabel);
    drawings->addLayout(
        row({selectAllDrawingsButton, drawingSelectionLabel, unselectAllDrawingsButton}, 1));

    auto* templates = new QVBoxLayout(templatesFrame);
    templates->addLayout(row({templateDriveList, templatePathBox, templateBrowseButton}, 1));
    templates->addWidget(templateFolderList, 1);
    templates->addWidget(templateCountLabel);
    templates->addWidget(templateList, 2);
    templates->addWidget(templateInfoLabel);

    auto* format = new QVBoxLayout(formatFrame);
    format->addWidget(cdfOption);
    format->addWidget(sdfOption);
    format->addLayout(row({fieldSpacesEdit, fieldSpacesLabel}, 1));
    for (QWidget* w : std::initializer_list<QWidget*>{fieldSpacesEdit, fieldSpacesLabel})
        keepPlaceWhenHidden(w);

    auto* commands = new QVBoxLayout;
    commands->addWidget(formatFrame);
    commands->addWidget(includeDrawingNameCheck);
    QHBoxLayout* nameForm = row({fullPathCheck, timestampCheck});
    nameForm->addStretch(1);
    // Indented as choices under "4)".
    nameForm->setContentsMargins(style()->pixelMetric(QStyle::PM_IndicatorWidth), 0, 0, 0);
    commands->addLayout(nameForm);
    for (QWidget* w : std::initializer_list<QWidget*>{fullPathCheck, timestampCheck})
        keepPlaceWhenHidden(w);
    for (QPushButton* b : {extractButton, drawingListFileButton}) commands->addWidget(b);
    // About and Exit share a row, so the column is no taller than the frames beside it.
    commands->addLayout(row({aboutButton, exitButton}));
    commands->addStretch(1);

    // Each destination shows its own options; those that never show together share a cell.
    auto* destinations = new QVBoxLayout;
    for (QRadioButton* o :
         {textFileOption, clipboardOption, spreadsheetOption, databaseOption, documentOption})
        destinations->addWidget(o);
    destinations->addStretch(1);
    auto* options = new QGridLayout;
    QHBoxLayout* startCell = row({rowLabel, rowEdit, columnLabel, columnEdit});
    startCell->addStretch(1);
    options->addWidget(newFileLabel, 0, 0);
    options->addLayout(startCell, 0, 0);
    options->addWidget(databaseAppendCheck, 0, 0);
    options->addWidget(documentAppendCheck, 0, 0);
    options->addWidget(newFileEdit, 1, 0);
    options->addWidget(transposeCheck, 1, 0);
    options->addWidget(createTableCheck, 1, 0);
    options->addWidget(textAppendCheck, 2, 0);
    options->addWidget(fitColumnsCheck, 2, 0);
    options->addWidget(includeTagsCheck, 3, 0);
    options->setRowStretch(4, 1);
    auto* outputFolder = new QVBoxLayout;
    outputFolder->addLayout(row({outputDriveList, outputPathBox, outputBrowseButton}, 1));
    outputFolder->addWidget(outputFolderList, 1);
    // The sheet or table list sits under the files; without it the files take its room.
    auto* outputFiles = new QVBoxLayout;
    outputFiles->addWidget(outputFileList, 1);
    outputFiles->addWidget(sheetOrTableCombo);
    for (QWidget* w : std::initializer_list<QWidget*>{
             newFileLabel, newFileEdit, rowLabel, rowEdit, columnLabel, columnEdit, textAppendCheck,
             transposeCheck, databaseAppendCheck, documentAppendCheck, createTableCheck,
             includeTagsCheck, fitColumnsCheck, outputDriveList, outputPathBox, outputBrowseButton,
             outputFolderList, outputFileList}) {
        keepPlaceWhenHidden(w);
    }
    auto* send = new QHBoxLayout(destinationFrame);
    send->addLayout(destinations);
    send->addLayout(options);
    send->addLayout(outputFolder, 1);
    send->addLayout(outputFiles, 1);

    // The progress sits beside the messages, so a run adds no line to the window.
    auto* status = new QHBoxLayout(messagesFrame);
    status->addWidget(statusLabel, 1);
    status->addWidget(runProgress, 0, Qt::AlignTop);

    auto* recordCommands = row({clearRecordsButton, clearRecordSelectionButton,
                                selectAllRecordsButton, unselectAllRecordsButton});
    recordCommands->addSpacing(fontMetrics().averageCharWidth() * 2);
    recordCommands->addWidget(recordSelectionLabel, 1);

    auto* window = new QGridLayout(this);
    window->addWidget(drawingsFrame, 0, 0);
    window->addWidget(templatesFrame, 0, 1);
    window->addLayout(commands, 0, 2, 2, 1);
    // The filter and the count sit on the caption's line, over the table they act on. The line
    // spans both frames' columns, so its width does not tip how they share the window's.
    auto* recordsCaption = new QHBoxLayout;
    recordsCaption->addWidget(recordListLabel, 0, Qt::AlignBottom);
    recordsCaption->addSpacing(fontMetrics().averageCharWidth() * 2);
    recordsCaption->addWidget(recordFilterEdit, 1, Qt::AlignBottom);
    recordsCaption->addWidget(recordCountLabel, 0, Qt::AlignBottom);
    recordsCaption->addStretch(1);
    recordsCaption->addWidget(updateButton, 0, Qt::AlignBottom);
    recordsCaption->addWidget(searchButton, 0, Qt::AlignBottom);
    recordsCaption->addWidget(registerButton, 0, Qt::AlignBottom);
    window->addLayout(recordsCaption, 1, 0, 1, 2);
    window->addWidget(recordList, 2, 0, 1, 3);
    window->addLayout(recordCommands, 3, 0, 1, 3);
    window->addWidget(destinationFrame, 4, 0, 1, 3);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(messagesFrame, 1);
    bottom->addWidget(sendButton, 0, Qt::AlignVCenter);
    window->addLayout(bottom, 5, 0, 1, 3);
    window->setColumnStretch(0, 1);
    window->setColumnStretch(1, 1);
    window->setRowStretch(0, 1);
    window->setRowStretch(2, 1);
    // The frames' lists and the records share the height the window gains.
    for (QWidget* w : std::initializer_list<QWidget*>{drawingsFrame, templatesFrame}) {
        w->setSizePolicy(w->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    }

    // Opens a little larger than its smallest, so the lists show a few more lines, within the
    // screen it opens on.
    QSize opening = window->minimumSize() +
                    QSize(fontMetrics().averageCharWidth() * 8, fontMetrics().lineSpacing() * 6);
    if (const QScreen* screen = this->screen()) {
        opening = opening.boundedTo(screen->availableSize()).expandedTo(window->minimumSize());
    }
    resize(opening);
}
