// The main window's controls at their places (positions in twips, 15 to a pixel at 96 dpi).

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include "mainwindow/drive_list.h"
#include "mainwindow/folder_list.h"
#include "mainwindow/form1.h"
#include "records/record_list_model.h"

namespace {

constexpr int kTwipsPerPixel = 15;
const QColor kDarkBlue(0x00, 0x00, 0xC0);
const QColor kDarkRed(0xC0, 0x00, 0x00);

template <typename W>
W* place(W* widget, int left, int top, int width, int height) {
    widget->setGeometry(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                        height / kTwipsPerPixel);
    return widget;
}

template <typename W>
W* make(QWidget* parent, const char* objectName, int left, int top, int width, int height,
        const QString& text = {}, const QString& toolTip = {}) {
    W* widget;
    if constexpr (std::is_constructible_v<W, QString, QWidget*>) {
        widget = new W(text, parent);
    } else {
        widget = new W(parent);
    }
    widget->setObjectName(QLatin1String(objectName));
    if (!toolTip.isEmpty()) widget->setToolTip(toolTip);
    return place(widget, left, top, width, height);
}

void colour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

void bold(QWidget* widget, qreal pointSize = 0) {
    QFont font = widget->font();
    font.setBold(true);
    if (pointSize > 0) font.setPointSizeF(pointSize);
    widget->setFont(font);
}

// Frame titles are bold; the controls inside keep the window's normal font.
QGroupBox* frame(QWidget* parent, const char* name, const QString& title, int left, int top,
                 int width, int height, bool boldTitle) {
    auto* box = make<QGroupBox>(parent, name, left, top, width, height, title);
    if (boldTitle) bold(box);
    return box;
}

QListWidget* listBox(QWidget* parent, const char* name, int l, int t, int w, int h,
                     QAbstractItemView::SelectionMode mode, bool sorted) {
    auto* list = make<QListWidget>(parent, name, l, t, w, h);
    list->setSelectionMode(mode);
    list->setSortingEnabled(sorted);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return list;
}

}  // namespace

void Form1::createControls() {
    setWindowTitle(QStringLiteral("Quillon"));
    QFont font;
    // Narrow sans fonts first, so captions fit the places they were drawn for.
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial"), QStringLiteral("Helvetica")});
    font.setPointSizeF(8.25);
    font.setBold(false);  // marks the weight as set, so a bold frame does not pass it on
    setFont(font);
    setFixedSize(10230 / kTwipsPerPixel, 8325 / kTwipsPerPixel);
    const auto toggle = QAbstractItemView::MultiSelection;  // a click toggles one item
    const auto single = QAbstractItemView::SingleSelection;

    Frame1 =
        frame(this, "Frame1", "1) Select Drawings to Extract From", 120, 120, 3495, 3495, true);
    Drive1 = make<DriveListBox>(Frame1, "Drive1", 120, 240, 3255, 315, {}, " Select disk drive ");
    Dir1 = make<FolderListBox>(Frame1, "Dir1", 120, 600, 3255, 990, {}, " Select directory ");
    Label3 = make<QLabel>(Frame1, "Label3", 120, 1635, 1215, 255);
    colour(Label3, kDarkBlue);
    Text5 = make<QLineEdit>(Frame1, "Text5", 1440, 1620, 1575, 285, "*.dwg");
    Command9 =
        make<QPushButton>(Frame1, "Command9", 3060, 1600, 320, 320, "..", " File spec screen ");
    List2 = listBox(Frame1, "List2", 120, 1920, 3255, 1035, toggle, true);
    Label2 = make<QLabel>(Frame1, "Label2", 120, 3000, 3255, 255);
    colour(Label2, kDarkBlue);
    Command13 = make<QPushButton>(Frame1, "Command13", 120, 3200, 975, 255, "Select All",
                                  " Select all drawings ");
    Label12 = make<QLabel>(Frame1, "Label12", 1200, 3240, 855, 255);
    colour(Label12, kDarkRed);
    Command14 = make<QPushButton>(Frame1, "Command14", 2280, 3200, 1095, 255, "Unselect All",
                                  " Unselect all drawings ");

    Frame4 = frame(this, "Frame4", "2) Select Template File to Use", 3840, 120, 3495, 3495, true);
    Drive3 = make<DriveListBox>(Frame4, "Drive3", 120, 240, 3255, 315, {}, " Select disk drive ");
    Dir3 = make<FolderListBox>(this, "Dir3", 3960, 720, 3255, 990, {}, " Select directory ");
    Label5 = make<QLabel>(Frame4, "Label5", 120, 1640, 3255, 255);
    colour(Label5, kDarkBlue);
    List1 = listBox(this, "List1", 3960, 2040, 3255, 1035, single, true);
    Label6 = make<QLabel>(Frame4, "Label6", 120, 3000, 3255, 255);
    colour(Label6, kDarkBlue);

    Frame2 = frame(this, "Frame2", "3) Select Output Format", 7560, 120, 2535, 1335, true);
    Option1 = make<QRadioButton>(Frame2, "Option1", 240, 360, 2055, 195, "CDF - Comma Delimited");
    Option1->setChecked(true);
    Option2 = make<QRadioButton>(Frame2, "Option2", 240, 600, 1935, 195, "SDF - Space Delimited");
    Text4 = make<QLineEdit>(Frame2, "Text4", 240, 900, 375, 285);
    Text4->setMaxLength(2);
    Text4->hide();
    Label10 = make<QLabel>(Frame2, "Label10", 720, 960, 1695, 255, "Spaces between fields");
    Label10->hide();

    Check1 = make<QCheckBox>(this, "Check1", 7560, 1560, 2535, 255, "4) Include Drawing Name");
    bold(Check1);
    Check5 = make<QCheckBox>(this, "Check5", 7680, 1920, 1335, 255, "Use Full Path");
    Check6 = make<QCheckBox>(this, "Check6", 9000, 1920, 1095, 255, "Timestamp");
    Command15 =
        make<QPushButton>(this, "Command15", 7560, 2280, 2535, 315, "5) &Extract Attributes",
                          " Extract attributes from selected drawings ");
    bold(Command15);
    Command5 = make<QPushButton>(this, "Command5", 7560, 2660, 2535, 315, "&File",
                                 " Read drawings and templates from a file ");
    bold(Command5);
    Command4 = make<QPushButton>(this, "Command4", 7560, 3060, 2535, 315, "&About",
                                 " Help and info about Quillon ");
    bold(Command4);
    Command2 =
        make<QPushButton>(this, "Command2", 7560, 3480, 2535, 315, "E&xit", " Exit Quillon ");
    bold(Command2);
    cmdOpen = make<QPushButton>(this, "cmdOpen", 6960, 3600, 375, 375, {},
                                " Search drawings for specific attribute tags and values ");
    cmdOpen->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    Label1 = make<QLabel>(this, "Label1", 120, 3720, 1695, 255, "6) Select Attributes");
    bold(Label1);
    records = new RecordListModel(this);
    recordView = make<QListView>(this, "recordView", 120, 3960, 9975, 1425);
    recordView->setModel(records);
    recordView->setSelectionMode(toggle);
    // Every record is one line of one font: one item size serves them all, so adding a run's
    // records lays out nothing per item.
    recordView->setUniformItemSizes(true);
    recordView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    recordView->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Command3 =
        make<QPushButton>(this, "Command3", 120, 5340, 855, 255, "Clear All", " Clear all items ");
    Command16 = make<QPushButton>(this, "Command16", 1080, 5340, 1335, 255, "Clear Selection",
                                  " Clear all selected items ");
    Command6 = make<QPushButton>(this, "Command6", 2520, 5340, 975, 255, "Select All",
                                 " Select all items ");
    Command7 = make<QPushButton>(this, "Command7", 3600, 5340, 1215, 255, "Unselect All",
                                 " Unselect all items ");
    for (QPushButton* b : {Command3, Command16, Command6, Command7}) b->setEnabled(false);
    Label11 = make<QLabel>(this, "Label11", 5040, 5400, 3135, 255);
    colour(Label11, kDarkRed);

    Frame3 = frame(this, "Frame3", "7) Send Selected Attributes To", 120, 5640, 9975, 1815, true);
    Option3 = make<QRadioButton>(Frame3, "Option3", 240, 360, 975, 195, "Text File");
    Option3->setChecked(true);
    Option4 = make<QRadioButton>(Frame3, "Option4", 240, 600, 975, 195, "Clipboard");
    Option5 = make<QRadioButton>(Frame3, "Option5", 240, 840, 855, 195, "Excel");
    Option6 = make<QRadioButton>(Frame3, "Option6", 240, 1080, 855, 195, "Access");
    Option7 = make<QRadioButton>(Frame3, "Option7", 240, 1320, 855, 255, "Word");
    Label7 = make<QLabel>(Frame3, "Label7", 1440, 360, 1215, 255, "New File Name");
    Text1 = make<QLineEdit>(Frame3, "Text1", 1440, 600, 2415, 285);
    Label8 = make<QLabel>(Frame3, "Label8", 1440, 360, 375, 255, "Row");
    Text2 = make<QLineEdit>(Frame3, "Text2", 1880, 360, 615, 285, "1");
    Text2->setMaxLength(5);
    Label9 = make<QLabel>(Frame3, "Label9", 2640, 360, 615, 255, "Column");
    Text3 = make<QLineEdit>(this, "Text3", 3360, 6000, 495, 285, "1");
    Text3->setMaxLength(3);
    Check4 = make<QCheckBox>(this, "Check4", 1560, 6000, 1335, 195, "Append Mode");
    Check7 = make<QCheckBox>(this, "Check7", 1560, 6000, 1335, 195, "Append Mode");
    Check8 = make<QCheckBox>(this, "Check8", 1560, 6240, 1335, 195, "Create Table");
    for (QCheckBox* c : {Check4, Check7, Check8}) c->setChecked(true);
    Check3 = make<QCheckBox>(Frame3, "Check3", 1440, 720, 1335, 195, "Transpose");
    Check10 = make<QCheckBox>(Frame3, "Check10", 1440, 960, 1815, 255, "Adjust column width");
    Check2 = make<QCheckBox>(Frame3, "Check2", 1440, 1080, 1335, 195, "Append Mode");
    Check2->setChecked(true);
    Check9 = make<QCheckBox>(Frame3, "Check9", 1440, 1320, 1455, 195, "Include Tags");
    for (QWidget* w : std::initializer_list<QWidget*>{Label8, Text2, Label9, Text3, Check4, Check7,
                                                      Check8, Check3, Check10}) {
        w->hide();
    }
    Drive2 = make<DriveListBox>(this, "Drive2", 4080, 5880, 3255, 315, {}, " Select disk drive ");
    Dir2 = make<FolderListBox>(this, "Dir2", 4080, 6240, 3255, 990, {}, " Select directory ");
    List4 = listBox(Frame3, "List4", 7320, 240, 2535, 840, single, false);
    Combo1 = make<QComboBox>(Frame3, "Combo1", 7320, 1260, 2535, 315);
    Combo1->hide();

    Frame5 = frame(this, "Frame5", "System Messages", 120, 7440, 8775, 855, false);
    Label4 = make<QLabel>(Frame5, "Label4", 120, 240, 8535, 495);
    colour(Label4, kDarkRed);
    Label4->setWordWrap(true);
    Command1 = make<QPushButton>(this, "Command1", 9000, 7680, 1095, 495, "8) &GO!",
                                 " Send selected attributes ");
    bold(Command1, 12);
    Command1->setEnabled(false);

    // A bold frame title must not make its controls bold.
    for (QGroupBox* box : {Frame1, Frame2, Frame3, Frame4}) {
        for (QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            child->setFont(font);
        }
    }
    bold(Command9);

    // Controls placed in window coordinates lie over their frame's area: keep them on top.
    for (QWidget* w : std::initializer_list<QWidget*>{Dir3, List1, Text3, Check4, Check7, Check8,
                                                      Drive2, Dir2}) {
        w->raise();
    }
}
