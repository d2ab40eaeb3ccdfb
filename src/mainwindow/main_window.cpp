// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/main_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QToolButton>

#include "about/open_about_window.h"
#include "filespecs/open_file_spec_window.h"
#include "help/open_help_window.h"
#include "mainwindow/drive_list.h"
#include "mainwindow/folder_list.h"
#include "mainwindow/folder_path_box.h"
#include "mainwindow/record_table_view.h"
#include "output/destination_sender.h"
#include "platform/paths.h"
#include "records/record_list_model.h"
#include "records/record_table_model.h"
#include "registerwindow/open_register_window.h"
#include "search/open_search_window.h"
#include "update/open_update_window.h"

namespace {
const QString kTitle = QStringLiteral("Quillon");
}

CheckValue checkValue(const QCheckBox* box) {
    switch (box->checkState()) {
        case Qt::Checked:
            return CheckValue::Checked;
        case Qt::PartiallyChecked:
            return CheckValue::Grayed;
        default:
            return CheckValue::Unchecked;
    }
}

void setCheckValue(QCheckBox* box, CheckValue value) {
    if (value == CheckValue::Grayed) box->setTristate(true);
    box->setCheckState(value == CheckValue::Checked  ? Qt::Checked
                       : value == CheckValue::Grayed ? Qt::PartiallyChecked
                                                     : Qt::Unchecked);
}

MainWindow::MainWindow(MainWindowServices services, QString programFolder, QString commandLine,
                       QWidget* parent)
    : QWidget(parent),
      m_platform(services.platform),
      m_readerFactory(std::move(services.readerFactory)),
      m_extractionJobs(std::max(1, services.extractionJobs)),
      m_office(std::move(services.office)),
      m_endProgram(std::move(services.endProgram)),
      m_programFolder(std::move(programFolder)),
      m_homeFolder(std::move(services.homeFolder)),
      m_commandLine(std::move(commandLine)) {
    createControls();
    connectHandlers();
    m_sender = std::make_unique<output::DestinationSender>(output::SendServices{
        m_platform.dialogs, m_platform.ui, m_platform.shell, m_platform.clipboard, m_office});
    if (!m_endProgram) {
        m_endProgram = [this](int exitStatus) {
            hide();
            QCoreApplication::exit(exitStatus);
        };
    }
}

DestinationState MainWindow::destinationState(Destination destination) const {
    return m_destinations[static_cast<size_t>(destination)];
}

DestinationState& MainWindow::state(Destination destination) {
    return m_destinations[static_cast<size_t>(destination)];
}

MainWindow::~MainWindow() = default;

void MainWindow::connectHandlers() {
    connect(drawingDriveList, &DriveListBox::driveChanged, this, &MainWindow::drawingDriveChanged);
    connect(drawingFolderList, &FolderListBox::pathChanged, this,
            &MainWindow::drawingFolderChanged);
    connect(drawingPatternEdit, &QLineEdit::textChanged, this, &MainWindow::drawingPatternChanged);
    connectFolderChoice(folderChoice(drawingPathBox), drawingBrowseButton,
                        QStringLiteral("Choose the folder of the DWG or DXF drawings"));
    connectFolderChoice(folderChoice(templatePathBox), templateBrowseButton,
                        QStringLiteral("Choose the folder of the template files"));
    connectFolderChoice(folderChoice(outputPathBox), outputBrowseButton,
                        QStringLiteral("Choose the folder the records are sent to"));
    drawingList->setAcceptDrops(true);
    drawingList->viewport()->installEventFilter(this);
    // A selection made with the keyboard counts as a click: the handlers follow the selection,
    // not the mouse. Code that changes a selection itself blocks these while it does.
    connect(drawingList, &QListWidget::itemSelectionChanged, this, &MainWindow::drawingClicked);
    connect(drawingList, &QListWidget::itemDoubleClicked, this, &MainWindow::showAttributePage);
    connect(selectAllDrawingsButton, &QPushButton::clicked, this, &MainWindow::selectAllDrawings);
    connect(unselectAllDrawingsButton, &QPushButton::clicked, this,
            &MainWindow::unselectAllDrawings);
    connect(templateDriveList, &DriveListBox::driveChanged, this,
            &MainWindow::templateDriveChanged);
    connect(templateFolderList, &FolderListBox::pathChanged, this,
            &MainWindow::templateFolderChanged);
    connect(templateList, &QListWidget::itemSelectionChanged, this, &MainWindow::templateClicked);
    connect(templateList, &QListWidget::itemDoubleClicked, this, &MainWindow::editTemplate);
    connect(fileSpecButton, &QPushButton::clicked, this, &MainWindow::openFileSpecs);
    connect(searchButton, &QPushButton::clicked, this, &MainWindow::openSearch);
    connect(updateButton, &QPushButton::clicked, this, &MainWindow::openUpdate);
    connect(registerButton, &QPushButton::clicked, this,
            [this] { openRegisterWindow(m_platform, this); });
    connect(extractButton, &QPushButton::clicked, this, &MainWindow::extractAttributes);
    connect(recordList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::recordSelectionChanged);
    connect(selectAllRecordsButton, &QPushButton::clicked, this, &MainWindow::selectAllRecords);
    connect(unselectAllRecordsButton, &QPushButton::clicked, this, &MainWindow::unselectAllRecords);
    connect(clearRecordSelectionButton, &QPushButton::clicked, this,
            &MainWindow::clearRecordSelection);
    connect(clearRecordsButton, &QPushButton::clicked, this, &MainWindow::clearRecords);
    connect(recordFilterEdit, &QLineEdit::textChanged, this, &MainWindow::filterRecords);
    for (auto changed : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(shownRecords, changed, this, &MainWindow::showRecordCount);
    }
    connect(shownRecords, &QAbstractItemModel::modelReset, this, &MainWindow::showRecordCount);
    connect(includeDrawingNameCheck, &QCheckBox::stateChanged, this,
            &MainWindow::includeDrawingNameClicked);
    connect(exitButton, &QPushButton::clicked, this, &MainWindow::exitProgram);
    connect(aboutButton, &QPushButton::clicked, this, &MainWindow::openAbout);
    connect(drawingListFileButton, &QPushButton::clicked, this, &MainWindow::runDrawingListFile);
    connect(outputFolderList, &FolderListBox::pathChanged, this, &MainWindow::outputFolderChanged);
    connect(outputDriveList, &DriveListBox::driveChanged, this, &MainWindow::outputDriveChanged);
    const std::pair<QRadioButton*, void (MainWindow::*)()> options[] = {
        {cdfOption, &MainWindow::cdfChosen}, {sdfOption, &MainWindow::sdfChosen}};
    for (const auto& [option, chosen] : options) {
        // A copy to capture: clang before 16 cannot capture a structured binding.
        connect(option, &QRadioButton::toggled, this, [this, handler = chosen](bool on) {
            if (on) (this->*handler)();
        });
    }
    connect(destinationGroup, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) chooseDestination(static_cast<Destination>(id));
    });
    // Tab reaches a set of options at the one chosen; the arrow keys move among them.
    const auto tabAtChosen = [](const QList<QRadioButton*>& set) {
        const auto follow = [set] {
            for (QRadioButton* option : set) {
                option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
            }
        };
        for (QRadioButton* option : set) connect(option, &QRadioButton::toggled, option, follow);
        follow();
    };
    tabAtChosen(
        {textFileOption, clipboardOption, spreadsheetOption, databaseOption, documentOption});
    tabAtChosen({cdfOption, sdfOption});
    connect(outputFileList, &QListWidget::itemSelectionChanged, this,
            &MainWindow::outputFileClicked);
    connect(outputFileList, &QListWidget::itemDoubleClicked, this, &MainWindow::openOutputFile);
    connect(sheetOrTableCombo, &QComboBox::activated, this, &MainWindow::sheetOrTableChosen);
    connect(newFileEdit, &QLineEdit::textChanged, this, &MainWindow::newFileNameChanged);
    connect(rowEdit, &QLineEdit::textChanged, this, &MainWindow::rowChanged);
    connect(rowEdit, &QLineEdit::editingFinished, this, &MainWindow::rowEditFinished);
    connect(columnEdit, &QLineEdit::textChanged, this, &MainWindow::columnChanged);
    connect(columnEdit, &QLineEdit::editingFinished, this, &MainWindow::columnEditFinished);
    connect(sendButton, &QPushButton::clicked, this, &MainWindow::sendSelectedRecords);
    // The number boxes take digits only; Backspace and the other editing keys still work.
    auto* digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    for (QLineEdit* box : {rowEdit, columnEdit, fieldSpacesEdit}) box->setValidator(digits);
}

void MainWindow::setStatus(const QString& text) {
    m_statusPainter.show(statusLabel, text);
}

void MainWindow::setProblem(const QString& text) {
    m_statusPainter.show(statusLabel, text, StatusTone::Problem);
}

QString MainWindow::templatePath() const {
    const QList<QListWidgetItem*> selected = templateList->selectedItems();
    return platform::joinPath(templateFolderList->path(),
                              selected.isEmpty() ? QString() : selected[0]->text());
}

QString MainWindow::drawingPath(const QString& name) const {
    return platform::joinPath(drawingFolderList->path(), name);
}

void MainWindow::setListScrollWidth(QListWidget* list) {
    const QFontMetrics metrics(list->font());
    int widest = 0;
    for (int i = 0; i < list->count(); ++i) {
        widest = std::max(widest, metrics.horizontalAdvance(list->item(i)->text()));
    }
    // The list view sizes its scroll range from its items; the extent is kept for the room of
    // 25 pixels beyond the widest item, which the view's own margins already give.
    list->setProperty("scrollExtent", list->count() > 0 ? widest + 25 : 0);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

std::vector<int> MainWindow::selectedRows(const QListWidget* list) {
    std::vector<int> rows;
    for (const QModelIndex& index : list->selectionModel()->selectedIndexes()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

QStringList MainWindow::selectedTexts(const QListWidget* list) {
    QStringList texts;
    for (int row : selectedRows(list)) texts << list->item(row)->text();
    return texts;
}

namespace {

// The selected rows as ascending, non-overlapping [first, last] spans.
std::vector<std::pair<qint64, qint64>> selectedSpans(const QItemSelectionModel* model) {
    std::vector<std::pair<qint64, qint64>> spans;
    for (const QItemSelectionRange& range : model->selection()) {
        spans.emplace_back(range.top(), range.bottom());
    }
    std::sort(spans.begin(), spans.end());
    std::vector<std::pair<qint64, qint64>> merged;
    for (const auto& span : spans) {
        if (!merged.empty() && span.first <= merged.back().second + 1) {
            merged.back().second = std::max(merged.back().second, span.second);
        } else {
            merged.push_back(span);
        }
    }
    return merged;
}

}  // namespace

std::vector<qint64> MainWindow::selectedRecordRows() const {
    std::vector<qint64> rows;
    rows.reserve(static_cast<size_t>(selectedRecordCount()));
    const bool listOrder = shownRecords->isListOrder();
    for (const auto& [first, last] : selectedSpans(recordList->selectionModel())) {
        for (qint64 row = first; row <= last; ++row) {
            rows.push_back(listOrder ? row : shownRecords->recordRow(static_cast<int>(row)));
        }
    }
    // A sorted table selects records out of list order; they are sent in list order.
    if (!listOrder) std::sort(rows.begin(), rows.end());
    return rows;
}

qint64 MainWindow::selectedRecordCount() const {
    qint64 count = 0;
    for (const auto& [first, last] : selectedSpans(recordList->selectionModel())) {
        count += last - first + 1;
    }
    return count;
}

QStringList MainWindow::selectedRecords() const {
    QStringList texts;
    const std::vector<qint64> rows = selectedRecordRows();
    texts.reserve(static_cast<qsizetype>(rows.size()));
    for (qint64 row : rows) texts << records->record(row);
    return texts;
}

void MainWindow::addRecords(const QStringList& added, qint64 maxFields,
                            std::vector<RecordSource> sources, bool selected) {
    const qint64 first = records->count();
    records->append(added, maxFields, std::move(sources));
    if (selected) selectRecords(first, added.size(), true);
}

void MainWindow::selectRecords(qint64 first, qint64 count, bool notify) {
    if (count <= 0 || shownRecords->rowCount() == 0) return;
    const int lastColumn = std::max(shownRecords->columnCount() - 1, 0);
    QItemSelection selection;
    if (shownRecords->isListOrder()) {
        selection.select(shownRecords->index(static_cast<int>(first), 0),
                         shownRecords->index(static_cast<int>(first + count - 1), lastColumn));
    } else {
        // Sorted or filtered, the records are shown rows here and there: their rows in order,
        // consecutive ones joined.
        std::vector<int> rows;
        for (qint64 record = first; record < first + count; ++record) {
            const int row = shownRecords->shownRow(static_cast<int>(record));
            if (row >= 0) rows.push_back(row);
        }
        std::sort(rows.begin(), rows.end());
        for (size_t at = 0; at < rows.size();) {
            size_t end = at + 1;
            while (end < rows.size() && rows[end] == rows[end - 1] + 1) ++end;
            selection.append(QItemSelectionRange(shownRecords->index(rows[at], 0),
                                                 shownRecords->index(rows[end - 1], lastColumn)));
            at = end;
        }
    }
    QItemSelectionModel* model = recordList->selectionModel();
    const QSignalBlocker block(notify ? nullptr : model);
    model->select(selection, QItemSelectionModel::Select);
}

void MainWindow::nameRecordColumns(const RecordForm& form) {
    RecordLayout layout;
    // The labels the senders put before the header row's names when the records carry them.
    if (form.includeDrawingName) {
        layout.names << QStringLiteral("DRAWING_NAME");
        if (form.timestamp) layout.names << QStringLiteral("TIMESTAMP");
    }
    layout.names += recordfields::commaDelimited(records->header());
    layout.commaDelimited = form.commaDelimited;
    layout.spaces = form.spaces;
    records->setLayout(layout);
}

void MainWindow::showNewRecords(qint64 first, qint64 count) {
    records->markNewRecords(first, count);
    // The run's topmost shown row: sorted, its records may sit anywhere in the table.
    int top = -1;
    for (qint64 record = first; record < first + count; ++record) {
        const int row = shownRecords->shownRow(static_cast<int>(record));
        if (row >= 0 && (top < 0 || row < top)) top = row;
        if (top >= 0 && shownRecords->isListOrder()) break;
    }
    if (top < 0) return;
    const QModelIndex shown = shownRecords->index(top, 0);
    recordList->selectionModel()->setCurrentIndex(shown, QItemSelectionModel::NoUpdate);
    recordList->scrollTo(shown, QAbstractItemView::PositionAtTop);
}

void MainWindow::showRecordCount() {
    const qint64 total = records->count();
    const qint64 shown = shownRecords->rowCount();
    if (shown < total) {
        recordCountLabel->setText(QString::number(shown) + QStringLiteral(" of ") +
                                  QString::number(total) + QStringLiteral(" shown"));
    } else {
        recordCountLabel->setText(QString::number(total) + (total == 1
                                                                ? QStringLiteral(" record")
                                                                : QStringLiteral(" records")));
    }
}

void MainWindow::filterRecords(const QString& text) {
    shownRecords->setFilterText(text);
}

void MainWindow::fitRecordScrollWidth() {
    recordList->fitColumns(records->longestRecord());
}

void MainWindow::activate() {
    const QSize screen = m_platform.ui.screenSize();
    if (screen.height() < 600 && screen.width() < 800) {
        m_platform.dialogs.messageBox(
            kTitle,
            kTitle + QStringLiteral(" is best suited for display setting 600 by 800 and greater."),
            platform::MessageIcon::None);
    }
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) activate();
    QWidget::changeEvent(event);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        showHelpWindow(m_platform, m_programFolder, this);
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_busy) {
        // Closing under a running extraction would pull the lists from under it.
        event->ignore();
        return;
    }
    unload();
    event->accept();
}

void MainWindow::unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    storeSettings();
}

void MainWindow::includeDrawingNameClicked() {
    const bool on = includeDrawingNameCheck->checkState() == Qt::Checked;
    fullPathCheck->setVisible(on);
    timestampCheck->setVisible(on);
    if (!on) {
        fullPathCheck->setChecked(false);
        timestampCheck->setChecked(false);
    }
}

void MainWindow::exitProgram() {
    close();
}

void MainWindow::openAbout() {
    showAboutWindow(m_platform, m_programFolder, this);
}

void MainWindow::openFileSpecs() {
    const auto chosen =
        chooseDrawingPattern(m_platform, m_programFolder, m_sharedDrawingFolder, this);
    if (!chosen) return;
    // As if the user had picked them: each change refreshes the drawing list.
    if (!chosen->folder.isEmpty() && drawingDriveList->setDrive(chosen->folder)) {
        drawingFolderList->setPath(chosen->folder);
    }
    drawingPatternEdit->setText(chosen->pattern);
}

void MainWindow::openSearch() {
    // This window takes no input until the search window is closed.
    openSearchWindow(
        m_platform, m_readerFactory, m_sharedDrawingFolder,
        [this](const QString& folder) { m_sharedDrawingFolder = folder; }, this);
}

void MainWindow::openUpdate() {
    // Edited values are most likely where the records were sent: Browse starts in the folder
    // each destination last showed. This window takes no input until the update window closes.
    const SourceFolders folders{state(Destination::TextFile).folder,
                                state(Destination::Spreadsheet).folder,
                                state(Destination::Database).folder};
    openUpdateWindow(m_platform, folders, this);
}
