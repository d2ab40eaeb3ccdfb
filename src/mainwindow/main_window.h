// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "engine/drawing_api/drawing_api.h"
#include "engine/extraction_run.h"
#include "mainwindow/status_painter.h"
#include "office/office.h"
#include "output/send_request.h"
#include "platform/services/platform.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class RecordListModel;
class RunProgress;
class RecordTableModel;
class RecordTableView;
class QPushButton;
class QRadioButton;
class QToolButton;
class QUrl;
class DriveListBox;
class FolderListBox;
class FolderPathBox;
namespace platform {
class TextWriter;
}

// The services the window reaches; the program passes the real ones, tests their doubles.
struct MainWindowServices {
    explicit MainWindowServices(platform::Platform services, drawingapi::ReaderFactory readers = {})
        : platform(services), readerFactory(std::move(readers)) {}

    platform::Platform platform;
    // Creates the drawing reader each extraction, search or page run uses.
    drawingapi::ReaderFactory readerFactory;
    // Drawings an extraction reads at once, each thread with a reader of its own. The records
    // come out in the same order whatever the number. One for readers not made for threads.
    int extractionJobs = 1;
    // The spreadsheet, database and word processor the outputs reach.
    office::Office office = office::unavailableOffice();
    // Ends the program at once with an exit status, without storing settings (a drawing list's
    // END line). Empty: the window hides and the event loop ends.
    std::function<void(int exitStatus)> endProgram;
    // Where a new user's folder choices start.
    QString homeFolder = QDir::homePath();
};

// What the window remembers of one destination: the folder last shown for it, the file chosen
// there and its sheet or table (each stored under the destination's own settings keys), and the
// file and sheet or table the next send goes to.
struct DestinationState {
    QString folder;
    QString savedFile;   // the chosen file's name in `folder`
    QString savedItem;   // the chosen sheet or table
    QString target;      // the file a send goes to; empty: none chosen
    QString targetItem;  // the sheet or table a send goes to; empty: the active sheet

    bool operator==(const DestinationState&) const = default;
};

// A check box as the settings store it: "0", "1" or "2" (grayed).
enum class CheckValue { Unchecked = 0, Checked = 1, Grayed = 2 };
CheckValue checkValue(const QCheckBox* box);
void setCheckValue(QCheckBox* box, CheckValue value);

// The main window: drawings and a template are chosen, extracted into the attribute list, and
// the selected records sent to a destination. Handlers are defined in the folder of their
// subsystem; this class stays the one window the user sees. Its controls are found by their
// object names, which are the names below.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    using Destination = output::Destination;

    // `commandLine` is the program's argument text; `programFolder` the program folder.
    MainWindow(MainWindowServices services, QString programFolder, QString commandLine,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Window events.
    void load();
    void activate();
    void unload();

    // What the window remembers of a destination (nothing for the clipboard).
    DestinationState destinationState(Destination destination) const;
    // The drawing folder the file spec and search windows share ("DWGFolder").
    QString sharedDrawingFolder() const { return m_sharedDrawingFolder; }

    // The exit status at the END of a list given on the command line of which a drawing line or
    // a send line failed.
    static constexpr int kFailedListStatus = 1;

    // Fits a list's horizontal scroll range to its widest item.
    static void setListScrollWidth(QListWidget* list);
    // The rows selected in a list, in list order. Asking each item whether it is selected costs
    // a search of the list per item; this reads the selection once.
    static std::vector<int> selectedRows(const QListWidget* list);
    static QStringList selectedTexts(const QListWidget* list);

public slots:
    // Frame "1) Select Drawings to Extract From" and "2) Select Template File to Use".
    void drawingDriveChanged();
    void drawingFolderChanged();
    void drawingPatternChanged();
    void drawingClicked();
    // The page of every attribute of the drawing, opened in the desktop's browser.
    void showAttributePage(QListWidgetItem* drawing);
    void selectAllDrawings();
    void unselectAllDrawings();
    void templateDriveChanged();
    void templateFolderChanged();
    void templateClicked();
    void editTemplate();
    void openFileSpecs();
    void openSearch();
    void openUpdate();

    // Extraction and the attribute list.
    void extractAttributes();
    void recordSelectionChanged();
    void selectAllRecords();
    void unselectAllRecords();
    void clearRecordSelection();
    void clearRecords();
    // The filter box: the table shows only records holding its text.
    void filterRecords(const QString& text);

    // The rest of the window.
    void includeDrawingNameClicked();
    void exitProgram();
    void openAbout();
    void runDrawingListFile();

    // Output format and destination.
    void cdfChosen();
    void sdfChosen();
    // A destination option turned on: shows the controls that destination uses.
    void chooseDestination(Destination chosen);
    void outputDriveChanged();
    void outputFolderChanged();
    void outputFileClicked();
    void openOutputFile();
    void sheetOrTableChosen();
    void newFileNameChanged();
    void rowChanged();
    void rowEditFinished();
    void columnChanged();
    void columnEditFinished();
    void sendSelectedRecords();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Drawings and folders dropped from the file manager onto the drawing list.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What a drawing list run sees of this window.
    class DrawingListView;

    void createControls();
    void connectHandlers();
    void restoreSettings();
    void storeSettings();
    void setStatus(const QString& text);
    // A status message that says something went wrong: shown in red.
    void setProblem(const QString& text);
    QString templatePath() const;
    QString drawingPath(const QString& name) const;
    Destination destination() const;
    DestinationState& state(Destination destination);
    void chooseFileDestination(Destination chosen);
    // Lists the chosen destination's files of the folder shown, leaving every target alone.
    void listOutputFiles();
    // Lists the folder's files again after a send made one, keeping the file chosen and the
    // sheet or table list as they are.
    void relistOutputFiles();
    void listSheetsOf(const QString& path);
    void listTablesOf(const QString& path);
    void runDrawingList();
    void changeDrive(DriveListBox* drive, FolderListBox* folder);
    // One folder choice: its drive list, folder list, path box and the list of its files.
    struct FolderChoice {
        DriveListBox* drive;
        FolderListBox* folder;
        FolderPathBox* path;
        QListWidget* files;
    };
    FolderChoice folderChoice(const FolderPathBox* path) const;
    void connectFolderChoice(const FolderChoice& choice, QToolButton* browse,
                             const QString& browseCaption);
    // Opens `folder` in the choice's lists; a folder that cannot be opened leaves them as they
    // were and says why in the status line.
    bool openFolder(const FolderChoice& choice, const QString& folder);
    // A typed or picked path: a folder is opened, a file opens its folder and is selected.
    void goToPath(const FolderChoice& choice, const QString& typed);
    void browseFolder(const FolderChoice& choice, const QString& caption);
    // Selects `names` in the choice's file list as clicks would; gives the names not listed.
    QStringList selectFiles(const FolderChoice& choice, const QStringList& names);
    void dropOnDrawingList(const QList<QUrl>& urls);
    // The drawing folder and the template an extraction used, first in their drop-downs.
    void rememberUsedFolders();
    void restoreRecent();
    void storeRecent();
    RecordForm recordForm() const;
    bool anyRecordSelected() const;
    // The send command: the controls as a request, and the window showing a sent request.
    output::SendRequest sendRequest();
    void showSend(const output::SendRequest& request, const output::SendResult& result);
    output::SendRecords selectedSendRecords() const;
    // The selected records, read from the selection's ranges: a long run's selection is a few
    // ranges, not one entry per record.
    std::vector<qint64> selectedRecordRows() const;
    qint64 selectedRecordCount() const;
    QStringList selectedRecords() const;
    // Adds a run's records in one insertion; `selected` also selects them in one change.
    void addRecords(const QStringList& added, qint64 maxFields, std::vector<RecordSource> sources,
                    bool selected);
    // Selects the shown rows of `count` records from `first`, in one change.
    void selectRecords(qint64 first, qint64 count, bool notify);
    // Names the table's columns after a run made with `form` whose header row is `header`.
    void nameRecordColumns(const RecordForm& form);
    // Marks `count` records from `first` as the last run's and scrolls to the first shown.
    void showNewRecords(qint64 first, qint64 count);
    // "N records", or "M of N shown" while a filter hides some.
    void showRecordCount();
    // Fits the table's columns to their fields, measuring a few rows and the longest record.
    void fitRecordScrollWidth();

    // Controls, named as the user guide and the settings know them.
    QGroupBox* drawingsFrame;
    QGroupBox* formatFrame;
    QGroupBox* destinationFrame;
    QGroupBox* templatesFrame;
    QGroupBox* messagesFrame;
    DriveListBox* drawingDriveList;
    DriveListBox* outputDriveList;
    DriveListBox* templateDriveList;
    FolderListBox* drawingFolderList;
    FolderListBox* outputFolderList;
    FolderListBox* templateFolderList;
    FolderPathBox* drawingPathBox;
    FolderPathBox* templatePathBox;
    FolderPathBox* outputPathBox;
    QToolButton* drawingBrowseButton;
    QToolButton* templateBrowseButton;
    QToolButton* outputBrowseButton;
    QListWidget* templateList;
    QListWidget* drawingList;
    RecordTableView* recordList;     // "6) Select Attributes"
    RecordListModel* records;        // the records in list order, with their header and width
    RecordTableModel* shownRecords;  // the records the table shows: filtered, sorted
    QLineEdit* recordFilterEdit;
    QLabel* recordCountLabel;
    QListWidget* outputFileList;
    QComboBox* sheetOrTableCombo;
    QLabel* recordListLabel;
    QLabel* drawingInfoLabel;
    QLabel* drawingCountLabel;
    QLabel* statusLabel;
    RunProgress* runProgress;  // drawings done and Cancel, while a run reads drawings
    QLabel* templateCountLabel;
    QLabel* templateInfoLabel;
    QLabel* newFileLabel;
    QLabel* rowLabel;
    QLabel* columnLabel;
    QLabel* fieldSpacesLabel;
    QLabel* recordSelectionLabel;
    QLabel* drawingSelectionLabel;
    QLineEdit* newFileEdit;
    QLineEdit* rowEdit;
    QLineEdit* columnEdit;
    QLineEdit* fieldSpacesEdit;
    QLineEdit* drawingPatternEdit;
    QRadioButton* cdfOption;
    QRadioButton* sdfOption;
    QRadioButton* textFileOption;
    QRadioButton* clipboardOption;
    QRadioButton* spreadsheetOption;
    QRadioButton* databaseOption;
    QRadioButton* documentOption;
    // The five destination options; each option's id is its Destination.
    QButtonGroup* destinationGroup;
    QCheckBox* includeDrawingNameCheck;
    QCheckBox* textAppendCheck;
    QCheckBox* transposeCheck;
    QCheckBox* databaseAppendCheck;
    QCheckBox* fullPathCheck;
    QCheckBox* timestampCheck;
    QCheckBox* documentAppendCheck;
    QCheckBox* createTableCheck;
    QCheckBox* includeTagsCheck;
    QCheckBox* fitColumnsCheck;
    QPushButton* sendButton;
    QPushButton* exitButton;
    QPushButton* clearRecordsButton;
    QPushButton* aboutButton;
    QPushButton* drawingListFileButton;
    QPushButton* selectAllRecordsButton;
    QPushButton* unselectAllRecordsButton;
    QPushButton* fileSpecButton;
    QPushButton* selectAllDrawingsButton;
    QPushButton* unselectAllDrawingsButton;
    QPushButton* extractButton;
    QPushButton* clearRecordSelectionButton;
    QPushButton* searchButton;
    QPushButton* updateButton;
    QPushButton* registerButton;

    platform::Platform m_platform;
    drawingapi::ReaderFactory m_readerFactory;
    int m_extractionJobs = 1;
    office::Office m_office;
    std::function<void(int exitStatus)> m_endProgram;
    std::unique_ptr<output::Sender> m_sender;
    QString m_programFolder;
    QString m_homeFolder;
    QString m_commandLine;
    QString m_sharedDrawingFolder;
    // Text file, clipboard (unused), spreadsheet, database, document.
    std::array<DestinationState, 5> m_destinations;
    // The text file a send was offered when none was chosen, named in "New File Name".
    QString m_offeredTextFile;
    int m_lastDrawingRow = 0;
    bool m_loading = false;
    bool m_busy = false;  // a long operation is running
    bool m_unloaded = false;
    StatusPainter m_statusPainter;
};
