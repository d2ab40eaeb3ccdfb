#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "engine/automation/automation.h"
#include "engine/extraction_run.h"
#include "mainwindow/status_painter.h"
#include "office/office.h"
#include "output/send_request.h"
#include "platform/gui/platform.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QListWidgetItem;
class RecordListModel;
class QPushButton;
class QRadioButton;
class DriveListBox;
class FolderListBox;
namespace platform {
class TextWriter;
}

// The main window: drawings and a template are chosen, extracted into the attribute list, and
// the selected records sent to a destination. Handlers are defined in the folder of their
// subsystem; this class stays the one window the user sees.
class Form1 : public QWidget {
    Q_OBJECT
public:
    // `commandLine` is the program's argument text; `appPath` the program folder.
    Form1(platform::Platform platform, QString appPath, QString commandLine,
          QWidget* parent = nullptr);
    ~Form1() override;

    // Window events.
    void Form_Load();
    void Form_Activate();
    void Form_Unload();

    // Frame "1) Select Drawings to Extract From" and "2) Select Template File to Use".
    void Drive1_Change();
    void Dir1_Change();
    void Text5_Change();
    void List2_Click();
    // The page of every attribute of the drawing, opened in the desktop's browser.
    void showAttributePage(QListWidgetItem* drawing);
    void Command13_Click();
    void Command14_Click();
    void Drive3_Change();
    void Dir3_Change();
    void List1_Click();
    void List1_DblClick();
    void Command9_Click();
    void cmdOpen_Click();

    // Extraction and the attribute list.
    void Command15_Click();
    void recordSelectionChanged();
    void Command6_Click();
    void Command7_Click();
    void Command16_Click();
    void Command3_Click();

    // The rest of the window.
    void Check1_Click();
    void Command2_Click();
    void Command4_Click();
    void Command5_Click();

    // Output format and destination.
    using Destination = output::Destination;
    Destination destination() const;
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Option4_Click();
    void Option5_Click();
    void Option6_Click();
    void Option7_Click();
    void Drive2_Change();
    void Dir2_Change();
    void List4_Click();
    void List4_DblClick();
    void Combo1_Click();
    void Text1_Change();
    void Text2_Change();
    void Text2_LostFocus();
    void Text3_Change();
    void Text3_LostFocus();

    // The send command: the controls as a request, and the window showing a sent request.
    void Command1_Click();
    output::SendRequest sendRequest();
    void showSend(const output::SendRequest& request, const output::SendResult& result);
    output::SendRecords selectedSendRecords() const;

    // Fits a list's horizontal scroll range to its widest item.
    static void SetListScrollWidth(QListWidget* list);
    // The rows selected in a list, in list order. Asking each item whether it is selected costs
    // a search of the list per item; this reads the selection once.
    static std::vector<int> selectedRows(const QListWidget* list);
    static QStringList selectedTexts(const QListWidget* list);
    // The selected records, read from the selection's ranges: a long run's selection is a few
    // ranges, not one entry per record.
    std::vector<qint64> selectedRecordRows() const;
    qint64 selectedRecordCount() const;
    QStringList selectedRecords() const;

    // Controls, named as the user guide and the settings know them.
    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QGroupBox* Frame3;
    QGroupBox* Frame4;
    QGroupBox* Frame5;
    DriveListBox* Drive1;
    DriveListBox* Drive2;
    DriveListBox* Drive3;
    FolderListBox* Dir1;
    FolderListBox* Dir2;
    FolderListBox* Dir3;
    QListWidget* List1;
    QListWidget* List2;
    QListView* recordView;     // "6) Select Attributes"
    RecordListModel* records;  // the records the view shows, with their header and width
    QListWidget* List4;
    QComboBox* Combo1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label11;
    QLabel* Label12;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QLineEdit* Text4;
    QLineEdit* Text5;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3;
    QRadioButton* Option4;
    QRadioButton* Option5;
    QRadioButton* Option6;
    QRadioButton* Option7;
    QCheckBox* Check1;
    QCheckBox* Check2;
    QCheckBox* Check3;
    QCheckBox* Check4;
    QCheckBox* Check5;
    QCheckBox* Check6;
    QCheckBox* Check7;
    QCheckBox* Check8;
    QCheckBox* Check9;
    QCheckBox* Check10;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;
    QPushButton* Command6;
    QPushButton* Command7;
    QPushButton* Command9;
    QPushButton* Command13;
    QPushButton* Command14;
    QPushButton* Command15;
    QPushButton* Command16;
    QPushButton* cmdOpen;

    // Window members.
    QString mstrAppPath;
    bool mblnLoading = false;
    QString mstrCmdLine;
    QString mstrTPath, mstrTFile;
    QString mstrEPath, mstrEFile, mstrESheet;
    QString mstrAPath, mstrAFile, mstrATable;
    QString mstrWPath, mstrWFile;
    QString mstrTextFile, mstrExcelFile, mstrExcelSheet, mstrAccessFile, mstrAccessTable,
        mstrWordFile;
    QString drawingFolder;       // the shared drawing folder of the settings ("DWGFolder")
    bool mblnBatchSend = false;  // sends ask nobody and open nothing, as a list's do
    qint16 mintLastIndex = 0;

    // The drawing application extraction runs use.
    acad::ApplicationFactory drawingApplication;
    // The spreadsheet and database programs the outputs reach.
    office::Office office = office::unavailableOffice();

    // Ends the program at once, without storing settings (a drawing list's END line).
    std::function<void()> endProgram;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createControls();
    void connectHandlers();
    void restoreSettings();
    void storeSettings();
    void setStatus(const QString& text);
    QString templatePath() const;
    QString drawingPath(const QString& name) const;
    void chooseFileDestination(Destination chosen);
    void listSheetsOf(const QString& path);
    void listTablesOf(const QString& path);
    void runDrawingList();
    void changeDrive(DriveListBox* drive, FolderListBox* folder);
    RecordForm recordForm() const;
    bool anyRecordSelected() const;
    // Adds a run's records in one insertion; `selected` also selects them in one change.
    void addRecords(const QStringList& added, qint64 maxFields, bool selected);
    // Fits the record list's scroll range to its longest record, measuring that one only.
    void fitRecordScrollWidth();

    friend class DrawingListGlue;

    platform::Platform m_platform;
    std::unique_ptr<output::Sender> m_sender;
    bool m_busy = false;  // a long operation is running
    StatusPainter m_statusPainter;
    bool m_unloaded = false;
    // The text file a send was offered when none was chosen, named in "New File Name".
    QString m_offeredTextFile;
};

// Check boxes hold 0 (unchecked), 1 (checked) or 2 (grayed), as the settings store them.
int checkValue(const QCheckBox* box);
void setCheckValue(QCheckBox* box, int value);
