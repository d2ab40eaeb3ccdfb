#include "mainwindow/form1.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "about/open_about_window.h"
#include "filespecs/open_file_spec_window.h"
#include "mainwindow/drive_list.h"
#include "mainwindow/folder_list.h"
#include "output/destination_sender.h"
#include "platform/paths.h"
#include "records/record_list_model.h"
#include "search/open_search_window.h"

namespace {
const QString kTitle = QStringLiteral("Quillon");
}

int checkValue(const QCheckBox* box) {
    switch (box->checkState()) {
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
        default:
            return 0;
    }
}

void setCheckValue(QCheckBox* box, int value) {
    if (value == 2) box->setTristate(true);
    box->setCheckState(value == 1   ? Qt::Checked
                       : value == 2 ? Qt::PartiallyChecked
                                    : Qt::Unchecked);
}

Form1::Form1(platform::Platform platform, QString appPath, QString commandLine, QWidget* parent)
    : QWidget(parent), mstrAppPath(std::move(appPath)), m_platform(platform) {
    mstrCmdLine = commandLine;
    createControls();
    connectHandlers();
    m_sender = std::make_unique<output::DestinationSender>(output::SendServices{
        m_platform.dialogs, m_platform.ui, m_platform.shell, m_platform.clipboard, office});
    endProgram = [this] {
        hide();
        QCoreApplication::exit(0);
    };
}

Form1::~Form1() = default;

void Form1::connectHandlers() {
    connect(Drive1, &DriveListBox::driveChanged, this, &Form1::Drive1_Change);
    connect(Dir1, &FolderListBox::pathChanged, this, &Form1::Dir1_Change);
    connect(Text5, &QLineEdit::textChanged, this, &Form1::Text5_Change);
    // A selection made with the keyboard counts as a click: the handlers follow the selection,
    // not the mouse. Code that changes a selection itself blocks these while it does.
    connect(List2, &QListWidget::itemSelectionChanged, this, &Form1::List2_Click);
    connect(List2, &QListWidget::itemDoubleClicked, this, &Form1::showAttributePage);
    connect(Command13, &QPushButton::clicked, this, &Form1::Command13_Click);
    connect(Command14, &QPushButton::clicked, this, &Form1::Command14_Click);
    connect(Drive3, &DriveListBox::driveChanged, this, &Form1::Drive3_Change);
    connect(Dir3, &FolderListBox::pathChanged, this, &Form1::Dir3_Change);
    connect(List1, &QListWidget::itemSelectionChanged, this, &Form1::List1_Click);
    connect(List1, &QListWidget::itemDoubleClicked, this, &Form1::List1_DblClick);
    connect(Command9, &QPushButton::clicked, this, &Form1::Command9_Click);
    connect(cmdOpen, &QPushButton::clicked, this, &Form1::cmdOpen_Click);
    connect(Command15, &QPushButton::clicked, this, &Form1::Command15_Click);
    connect(recordView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &Form1::recordSelectionChanged);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    connect(Command16, &QPushButton::clicked, this, &Form1::Command16_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Check1, &QCheckBox::stateChanged, this, &Form1::Check1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Dir2, &FolderListBox::pathChanged, this, &Form1::Dir2_Change);
    connect(Drive2, &DriveListBox::driveChanged, this, &Form1::Drive2_Change);
    const std::pair<QRadioButton*, void (Form1::*)()> options[] = {
        {Option1, &Form1::Option1_Click}, {Option2, &Form1::Option2_Click},
        {Option3, &Form1::Option3_Click}, {Option4, &Form1::Option4_Click},
        {Option5, &Form1::Option5_Click}, {Option6, &Form1::Option6_Click},
        {Option7, &Form1::Option7_Click}};
    for (const auto& [option, handler] : options) {
        connect(option, &QRadioButton::toggled, this, [this, handler](bool on) {
            if (on) (this->*handler)();
        });
    }
    connect(List4, &QListWidget::itemSelectionChanged, this, &Form1::List4_Click);
    connect(List4, &QListWidget::itemDoubleClicked, this, &Form1::List4_DblClick);
    connect(Combo1, &QComboBox::activated, this, &Form1::Combo1_Click);
    connect(Text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);
    connect(Text2, &QLineEdit::textChanged, this, &Form1::Text2_Change);
    connect(Text2, &QLineEdit::editingFinished, this, &Form1::Text2_LostFocus);
    connect(Text3, &QLineEdit::textChanged, this, &Form1::Text3_Change);
    connect(Text3, &QLineEdit::editingFinished, this, &Form1::Text3_LostFocus);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    // The number boxes take digits only; Backspace and the other editing keys still work.
    auto* digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    for (QLineEdit* box : {Text2, Text3, Text4}) box->setValidator(digits);
}

void Form1::setStatus(const QString& text) {
    m_statusPainter.show(Label4, text);
}

QString Form1::templatePath() const {
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    return platform::joinPath(Dir3->path(), selected.isEmpty() ? QString() : selected[0]->text());
}

QString Form1::drawingPath(const QString& name) const {
    return platform::joinPath(Dir1->path(), name);
}

void Form1::SetListScrollWidth(QListWidget* list) {
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

std::vector<int> Form1::selectedRows(const QListWidget* list) {
    std::vector<int> rows;
    for (const QModelIndex& index : list->selectionModel()->selectedIndexes()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

QStringList Form1::selectedTexts(const QListWidget* list) {
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

std::vector<qint64> Form1::selectedRecordRows() const {
    std::vector<qint64> rows;
    rows.reserve(static_cast<size_t>(selectedRecordCount()));
    for (const auto& [first, last] : selectedSpans(recordView->selectionModel())) {
        for (qint64 row = first; row <= last; ++row) rows.push_back(row);
    }
    return rows;
}

qint64 Form1::selectedRecordCount() const {
    qint64 count = 0;
    for (const auto& [first, last] : selectedSpans(recordView->selectionModel())) {
        count += last - first + 1;
    }
    return count;
}

QStringList Form1::selectedRecords() const {
    QStringList texts;
    const std::vector<qint64> rows = selectedRecordRows();
    texts.reserve(static_cast<qsizetype>(rows.size()));
    for (qint64 row : rows) texts << records->record(row);
    return texts;
}

void Form1::addRecords(const QStringList& added, qint64 maxFields, bool selected) {
    const int first = records->rowCount();
    records->append(added, maxFields);
    if (!selected || added.isEmpty()) return;
    recordView->selectionModel()->select(
        QItemSelection(records->index(first), records->index(records->rowCount() - 1)),
        QItemSelectionModel::Select);
}

void Form1::fitRecordScrollWidth() {
    const QString longest = records->longestRecord();
    if (longest.isEmpty()) {
        records->setItemSize(QSize());
        return;
    }
    // Records are one line each: the longest by characters stands for the widest, so one text
    // is shaped instead of every record of the list.
    const QFontMetrics metrics(recordView->font());
    records->setItemSize(QSize(metrics.horizontalAdvance(longest) + 25, metrics.height() + 2));
}

void Form1::Form_Activate() {
    const QSize screen = m_platform.ui.screenSize();
    if (screen.height() < 600 && screen.width() < 800) {
        m_platform.dialogs.messageBox(
            kTitle,
            kTitle + QStringLiteral(" is best suited for display setting 600 by 800 and greater."),
            platform::MessageIcon::None);
    }
}

void Form1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Form_Activate();
    QWidget::changeEvent(event);
}

void Form1::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        m_platform.shell.openInTextEditor(platform::joinPath(mstrAppPath, "faq.fil"));
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Form1::closeEvent(QCloseEvent* event) {
    if (m_busy) {
        // Closing under a running extraction would pull the lists from under it.
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void Form1::Form_Unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    storeSettings();
}

void Form1::Check1_Click() {
    const bool on = Check1->checkState() == Qt::Checked;
    Check5->setVisible(on);
    Check6->setVisible(on);
    if (!on) {
        Check5->setChecked(false);
        Check6->setChecked(false);
    }
}

void Form1::Command2_Click() {
    close();
}

void Form1::Command4_Click() {
    showAboutWindow(m_platform, mstrAppPath, this);
}

void Form1::Command9_Click() {
    const auto chosen = chooseFileSpecification(m_platform, mstrAppPath, drawingFolder, this);
    if (!chosen) return;
    // As if the user had picked them: each change refreshes the drawing list.
    if (!chosen->folder.isEmpty() && Drive1->setDrive(chosen->folder) == 0) {
        Dir1->setPath(chosen->folder);
    }
    Text5->setText(chosen->pattern);
}

void Form1::cmdOpen_Click() {
    // This window takes no input until the search window is closed.
    openSearchWindow(m_platform, drawingApplication, mstrAppPath, this);
}
