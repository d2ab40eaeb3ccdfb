// The main window's controls in their frames and numbered steps. Layouts place them, so every
// caption fits whatever font and scale the desktop uses, and the lists grow with the window.

#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>

#include "mainwindow/drive_list.h"
#include "mainwindow/folder_list.h"
#include "mainwindow/form1.h"
#include "records/record_list_model.h"

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
    auto* view = list<QListWidget>(parent, name, mode, 4);
    view->setSortingEnabled(sorted);
    return view;
}

// Mount points can be long paths: the closed list shows the start, the open one all of it.
DriveListBox* driveList(QWidget* parent, const char* name) {
    auto* drive = make<DriveListBox>(parent, name, {}, QStringLiteral(" Select disk drive "));
    drive->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    drive->setMinimumContentsLength(8);
    return drive;
}

FolderListBox* folderList(QWidget* parent, const char* name) {
    auto* folder = list<FolderListBox>(parent, name, QAbstractItemView::SingleSelection, 4);
    folder->setToolTip(QStringLiteral(" Select directory "));
    return folder;
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

void Form1::createControls() {
    setWindowTitle(QStringLiteral("Quillon"));
    const auto toggle = QAbstractItemView::MultiSelection;  // a click toggles one item
    const auto single = QAbstractItemView::SingleSelection;

    // 1) Drawings: drive, folder, pattern, the drawings and their selection.
    Frame1 = frame(this, "Frame1", "1) Select Drawings to Extract From", true);
    Drive1 = driveList(Frame1, "Drive1");
    Dir1 = folderList(Frame1, "Dir1");
    Label3 = make<QLabel>(Frame1, "Label3");
    colour(Label3, kDarkBlue);
    Text5 = make<QLineEdit>(Frame1, "Text5", "*.dwg");
    Command9 = make<QPushButton>(Frame1, "Command9", "..", " File spec screen ");
    List2 = listBox(Frame1, "List2", toggle, true);
    Label2 = make<QLabel>(Frame1, "Label2");
    colour(Label2, kDarkBlue);
    Command13 = make<QPushButton>(Frame1, "Command13", "Select All", " Select all drawings ");
    Label12 = make<QLabel>(Frame1, "Label12");
    colour(Label12, kDarkRed);
    Label12->setAlignment(Qt::AlignCenter);
    Command14 = make<QPushButton>(Frame1, "Command14", "Unselect All", " Unselect all drawings ");

    // 2) Template: drive, folder, the templates.
    Frame4 = frame(this, "Frame4", "2) Select Template File to Use", true);
    Drive3 = driveList(Frame4, "Drive3");
    Dir3 = folderList(Frame4, "Dir3");
    Label5 = make<QLabel>(Frame4, "Label5");
    colour(Label5, kDarkBlue);
    List1 = listBox(Frame4, "List1", single, true);
    Label6 = make<QLabel>(Frame4, "Label6");
    colour(Label6, kDarkBlue);

    // 3) Record format.
    Frame2 = frame(this, "Frame2", "3) Select Output Format", true);
    Option1 = make<QRadioButton>(Frame2, "Option1", "CDF - Comma Delimited");
    Option1->setChecked(true);
    Option2 = make<QRadioButton>(Frame2, "Option2", "SDF - Space Delimited");
    Text4 = make<QLineEdit>(Frame2, "Text4");
    Text4->setMaxLength(2);
    Text4->hide();
    Label10 = make<QLabel>(Frame2, "Label10", "Spaces between fields");
    Label10->hide();

    // 4) and 5), and the window's commands.
    Check1 = make<QCheckBox>(this, "Check1", "4) Include Drawing Name");
    setWeight(Check1, true);
    Check5 = make<QCheckBox>(this, "Check5", "Use Full Path");
    Check6 = make<QCheckBox>(this, "Check6", "Timestamp");
    Command15 = make<QPushButton>(this, "Command15", "5) &Extract Attributes",
                                  " Extract attributes from selected drawings ");
    Command5 =
        make<QPushButton>(this, "Command5", "&File", " Read drawings and templates from a file ");
    Command4 = make<QPushButton>(this, "Command4", "&About", " Help and info about Quillon ");
    Command2 = make<QPushButton>(this, "Command2", "E&xit", " Exit Quillon ");
    for (QPushButton* b : {Command15, Command5, Command4, Command2}) setWeight(b, true);
    cmdOpen = make<QPushButton>(this, "cmdOpen", {},
                                " Search drawings for specific attribute tags and values ");
    cmdOpen->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));

    // 6) The records.
    Label1 = make<QLabel>(this, "Label1", "6) Select Attributes");
    setWeight(Label1, true);
    records = new RecordListModel(this);
    recordView = list<QListView>(this, "recordView", toggle, 4);
    recordView->setModel(records);
    // Every record is one line of one font: one item size serves them all, so adding a run's
    // records lays out nothing per item.
    recordView->setUniformItemSizes(true);
    recordView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Command3 = make<QPushButton>(this, "Command3", "Clear All", " Clear all items ");
    Command16 =
        make<QPushButton>(this, "Command16", "Clear Selection", " Clear all selected items ");
    Command6 = make<QPushButton>(this, "Command6", "Select All", " Select all items ");
    Command7 = make<QPushButton>(this, "Command7", "Unselect All", " Unselect all items ");
    for (QPushButton* b : {Command3, Command16, Command6, Command7}) b->setEnabled(false);
    Label11 = make<QLabel>(this, "Label11");
    colour(Label11, kDarkRed);

    // 7) Destination, its options, the output folder and its files.
    Frame3 = frame(this, "Frame3", "7) Send Selected Attributes To", true);
    Option3 = make<QRadioButton>(Frame3, "Option3", "Text File");
    Option3->setChecked(true);
    Option4 = make<QRadioButton>(Frame3, "Option4", "Clipboard");
    Option5 = make<QRadioButton>(Frame3, "Option5", "Excel");
    Option6 = make<QRadioButton>(Frame3, "Option6", "Access");
    Option7 = make<QRadioButton>(Frame3, "Option7", "Word");
    Label7 = make<QLabel>(Frame3, "Label7", "New File Name");
    Text1 = make<QLineEdit>(Frame3, "Text1");
    Label8 = make<QLabel>(Frame3, "Label8", "Row");
    Text2 = make<QLineEdit>(Frame3, "Text2", "1");
    Text2->setMaxLength(5);
    Label9 = make<QLabel>(Frame3, "Label9", "Column");
    Text3 = make<QLineEdit>(Frame3, "Text3", "1");
    Text3->setMaxLength(3);
    Check4 = make<QCheckBox>(Frame3, "Check4", "Append Mode");
    Check7 = make<QCheckBox>(Frame3, "Check7", "Append Mode");
    Check8 = make<QCheckBox>(Frame3, "Check8", "Create Table");
    for (QCheckBox* c : {Check4, Check7, Check8}) c->setChecked(true);
    Check3 = make<QCheckBox>(Frame3, "Check3", "Transpose");
    Check10 = make<QCheckBox>(Frame3, "Check10", "Adjust column width");
    Check2 = make<QCheckBox>(Frame3, "Check2", "Append Mode");
    Check2->setChecked(true);
    Check9 = make<QCheckBox>(Frame3, "Check9", "Include Tags");
    for (QWidget* w : std::initializer_list<QWidget*>{Label8, Text2, Label9, Text3, Check4, Check7,
                                                      Check8, Check3, Check10}) {
        w->hide();
    }
    Drive2 = driveList(Frame3, "Drive2");
    Dir2 = folderList(Frame3, "Dir2");
    List4 = listBox(Frame3, "List4", single, false);
    Combo1 = make<QComboBox>(Frame3, "Combo1");
    Combo1->hide();

    // 8) The status line and the send command.
    Frame5 = frame(this, "Frame5", "System Messages", false);
    Label4 = make<QLabel>(Frame5, "Label4");
    colour(Label4, kDarkRed);
    Label4->setWordWrap(true);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A long message wraps or is cut; it never widens the window.
    Label4->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    Label4->setMinimumHeight(2 * Label4->fontMetrics().lineSpacing());
    Command1 = make<QPushButton>(this, "Command1", "8) &GO!", " Send selected attributes ");
    // As much larger than the window's text as 12 point is than the classic 8.25.
    const qreal basePoints = QFontInfo(font()).pointSizeF();
    setWeight(Command1, true, basePoints > 0 ? basePoints * 12 / 8.25 : 12);
    Command1->setEnabled(false);

    // A bold frame title must not make its controls bold.
    for (QGroupBox* box : {Frame1, Frame2, Frame3, Frame4}) {
        for (QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            setWeight(child, false);
        }
    }
    setWeight(Command9, true);

    // Room for what the handlers write later, measured in the controls' own fonts.
    reserveWidth(Label3, QStringLiteral("00000 files"));
    reserveWidth(Label12, QStringLiteral("00000 sel"));
    reserveWidth(Label11, QStringLiteral("000000 of 000000 selected"));
    fitDigits(Text4, 2);
    fitDigits(Text2, 5);
    fitDigits(Text3, 3);
    Command9->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto* drawings = new QVBoxLayout(Frame1);
    drawings->addWidget(Drive1);
    drawings->addWidget(Dir1, 1);
    drawings->addLayout(row({Label3, Text5, Command9}, 1));
    drawings->addWidget(List2, 2);
    drawings->addWidget(Label2);
    drawings->addLayout(row({Command13, Label12, Command14}, 1));

    auto* templates = new QVBoxLayout(Frame4);
    templates->addWidget(Drive3);
    templates->addWidget(Dir3, 1);
    templates->addWidget(Label5);
    templates->addWidget(List1, 2);
    templates->addWidget(Label6);

    auto* format = new QVBoxLayout(Frame2);
    format->addWidget(Option1);
    format->addWidget(Option2);
    format->addLayout(row({Text4, Label10}, 1));
    for (QWidget* w : std::initializer_list<QWidget*>{Text4, Label10}) keepPlaceWhenHidden(w);

    auto* commands = new QVBoxLayout;
    commands->addWidget(Frame2);
    commands->addWidget(Check1);
    QHBoxLayout* nameForm = row({Check5, Check6});
    nameForm->addStretch(1);
    // Indented as choices under "4)".
    nameForm->setContentsMargins(style()->pixelMetric(QStyle::PM_IndicatorWidth), 0, 0, 0);
    commands->addLayout(nameForm);
    for (QWidget* w : std::initializer_list<QWidget*>{Check5, Check6}) keepPlaceWhenHidden(w);
    for (QPushButton* b : {Command15, Command5, Command4, Command2}) commands->addWidget(b);
    commands->addStretch(1);

    // Each destination shows its own options; those that never show together share a cell.
    auto* destinations = new QVBoxLayout;
    for (QRadioButton* o : {Option3, Option4, Option5, Option6, Option7})
        destinations->addWidget(o);
    destinations->addStretch(1);
    auto* options = new QGridLayout;
    QHBoxLayout* startCell = row({Label8, Text2, Label9, Text3});
    startCell->addStretch(1);
    options->addWidget(Label7, 0, 0);
    options->addLayout(startCell, 0, 0);
    options->addWidget(Check4, 0, 0);
    options->addWidget(Check7, 0, 0);
    options->addWidget(Text1, 1, 0);
    options->addWidget(Check3, 1, 0);
    options->addWidget(Check8, 1, 0);
    options->addWidget(Check2, 2, 0);
    options->addWidget(Check10, 2, 0);
    options->addWidget(Check9, 3, 0);
    options->setRowStretch(4, 1);
    auto* outputFolder = new QVBoxLayout;
    outputFolder->addWidget(Drive2);
    outputFolder->addWidget(Dir2, 1);
    // The sheet or table list sits under the files; without it the files take its room.
    auto* outputFiles = new QVBoxLayout;
    outputFiles->addWidget(List4, 1);
    outputFiles->addWidget(Combo1);
    for (QWidget* w : std::initializer_list<QWidget*>{Label7, Text1, Label8, Text2, Label9, Text3,
                                                      Check2, Check3, Check4, Check7, Check8,
                                                      Check9, Check10, Drive2, Dir2, List4}) {
        keepPlaceWhenHidden(w);
    }
    auto* send = new QHBoxLayout(Frame3);
    send->addLayout(destinations);
    send->addLayout(options);
    send->addLayout(outputFolder, 1);
    send->addLayout(outputFiles, 1);

    auto* status = new QVBoxLayout(Frame5);
    status->addWidget(Label4);

    auto* recordCommands = row({Command3, Command16, Command6, Command7});
    recordCommands->addSpacing(fontMetrics().averageCharWidth() * 2);
    recordCommands->addWidget(Label11, 1);

    auto* window = new QGridLayout(this);
    window->addWidget(Frame1, 0, 0);
    window->addWidget(Frame4, 0, 1);
    window->addLayout(commands, 0, 2, 2, 1);
    window->addWidget(Label1, 1, 0, Qt::AlignLeft | Qt::AlignBottom);
    window->addWidget(cmdOpen, 1, 1, Qt::AlignRight | Qt::AlignBottom);
    window->addWidget(recordView, 2, 0, 1, 3);
    window->addLayout(recordCommands, 3, 0, 1, 3);
    window->addWidget(Frame3, 4, 0, 1, 3);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Frame5, 1);
    bottom->addWidget(Command1, 0, Qt::AlignVCenter);
    window->addLayout(bottom, 5, 0, 1, 3);
    window->setColumnStretch(0, 1);
    window->setColumnStretch(1, 1);
    window->setRowStretch(0, 1);
    window->setRowStretch(2, 1);
    // The frames' lists and the records share the height the window gains.
    for (QWidget* w : std::initializer_list<QWidget*>{Frame1, Frame4}) {
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
