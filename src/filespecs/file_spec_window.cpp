// SPDX-License-Identifier: GPL-3.0-or-later
#include "filespecs/file_spec_window.h"

#include <QBoxLayout>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>

#include "filespecs/file_spec_prompt.h"
#include "help/open_help_window.h"
#include "platform/paths.h"

namespace {

const QString kTitle = QStringLiteral("Quillon");
const QString kSection = QStringLiteral("FSpec");
const QString kListTip = QStringLiteral(" Double-click on file spec to use ");

QString keyOf(int position) {
    return QStringLiteral("Dir") + QString::number(position);
}

bool isSeparator(QChar c) {
#if defined(Q_OS_WIN)
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
#else
    return c == QLatin1Char('/');
#endif
}

// A folder that no longer exists would leave the picker wherever the toolkit likes: it starts
// in the nearest folder above it that still exists.
QString existingFolderAbove(const QString& folder) {
    if (folder.isEmpty()) return folder;
    QString candidate = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    while (!candidate.isEmpty() && !QFileInfo(candidate).isDir()) {
        const QString parent = QFileInfo(candidate).path();
        if (parent == candidate) return {};
        candidate = parent;
    }
    return QDir::toNativeSeparators(candidate);
}

QString withSeparator(const QString& folder) {
    if (folder.isEmpty() || isSeparator(folder.back())) return folder;
    return folder + QDir::separator();
}

}  // namespace

FileSpecWindow::FileSpecWindow(platform::Platform platform, QString programFolder,
                               QString drawingFolder, QWidget* parent)
    : QDialog(parent),
      m_platform(platform),
      m_programFolder(std::move(programFolder)),
      m_drawingFolder(std::move(drawingFolder)) {
    createControls();
    setWindowTitle(kTitle + QStringLiteral(" - File Specifications Screen"));
    loadList();
    updateButtons();
}

void FileSpecWindow::createControls() {
    setObjectName(QStringLiteral("fileSpecWindow"));
    specList = new QListWidget(this);
    specList->setObjectName(QStringLiteral("specList"));
    specList->setSelectionMode(QAbstractItemView::SingleSelection);
    totalLabel = new QLabel(QStringLiteral("Total:"), this);
    totalLabel->setObjectName(QStringLiteral("totalLabel"));

    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    addButton = button("addButton", QStringLiteral("&Add"));
    editButton = button("editButton", QStringLiteral("&Edit"));
    deleteButton = button("deleteButton", QStringLiteral("&Delete"));
    selectButton = button("selectButton", QStringLiteral("&Select"));
    closeButton = button("closeButton", QStringLiteral("&Close"));

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {addButton, editButton, deleteButton, selectButton}) {
        buttons->addWidget(b);
    }
    buttons->addStretch();
    buttons->addWidget(closeButton);
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(specList, 1);
    listColumn->addWidget(totalLabel);
    auto* main = new QHBoxLayout(this);
    main->addLayout(listColumn, 1);
    main->addLayout(buttons);
    resize(QSize(520, 300).expandedTo(sizeHint()));

    connect(addButton, &QPushButton::clicked, this, &FileSpecWindow::addPattern);
    connect(editButton, &QPushButton::clicked, this, &FileSpecWindow::editPattern);
    connect(deleteButton, &QPushButton::clicked, this, &FileSpecWindow::deletePattern);
    connect(selectButton, &QPushButton::clicked, this, &FileSpecWindow::selectPattern);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(specList, &QListWidget::itemDoubleClicked, this, &FileSpecWindow::selectPattern);
    connect(specList, &QListWidget::itemSelectionChanged, this, &FileSpecWindow::updateButtons);
}

QStringList FileSpecWindow::patterns() const {
    QStringList texts;
    for (int i = 0; i < specList->count(); ++i) texts << specList->item(i)->text();
    return texts;
}

void FileSpecWindow::loadList() {
    for (int position = 0;; ++position) {
        const QString value = m_platform.settings.get(kSection, keyOf(position));
        if (value.isEmpty()) break;
        specList->addItem(value);
    }
    if (specList->count() > 0) showCount();
}

// An empty list shows no count and no tip, as a list emptied by Delete does.
void FileSpecWindow::showCount() {
    const bool any = specList->count() > 0;
    specList->setToolTip(any ? kListTip : QString());
    totalLabel->setText(any ? QStringLiteral("Total: ") + QString::number(specList->count())
                            : QString());
}

// Edit, Delete and Select act on the selected entry, so they are offered only while there is
// one: a Select with nothing selected would empty the main window's pattern.
void FileSpecWindow::updateButtons() {
    const bool selected = !specList->selectedItems().isEmpty();
    editButton->setEnabled(selected);
    deleteButton->setEnabled(selected);
    selectButton->setEnabled(selected);
}

void FileSpecWindow::addPattern() {
    const QString chosen = m_platform.dialogs.pickFolder(
        {QStringLiteral("Choose the folder of the DWG or DXF drawings"),
         existingFolderAbove(m_drawingFolder)});
    if (chosen.isEmpty()) return;
    m_drawingFolder = chosen;
    const QString proposal = withSeparator(QDir::toNativeSeparators(chosen)) + "*.dwg";
    for (;;) {
        const QString answer = m_platform.dialogs
                                   .inputBox(fileSpecificationPrompt(),
                                             QStringLiteral("Add File Specification"), proposal)
                                   .value_or(QString())
                                   .trimmed();
        if (answer.isEmpty()) return;
        if (patterns().contains(answer, Qt::CaseInsensitive)) continue;
        m_changed = true;
        specList->addItem(answer);
        showCount();
    }
}

void FileSpecWindow::editPattern() {
    QListWidgetItem* item = specList->currentItem();
    if (!item || !item->isSelected()) return;
    const QString answer = m_platform.dialogs
                               .inputBox(QStringLiteral("File Specification"),
                                         QStringLiteral("Edit File Specification"), item->text())
                               .value_or(QString())
                               .trimmed();
    if (answer.isEmpty()) return;
    m_changed = true;
    item->setText(answer);
}

void FileSpecWindow::deletePattern() {
    const int row = specList->currentRow();
    if (row < 0 || !specList->item(row)->isSelected()) return;
    const auto answer = m_platform.dialogs.messageBox(
        QStringLiteral("Delete File Specification"),
        QStringLiteral("Are you sure you want to delete the selected file specification?"),
        platform::MessageIcon::Question, platform::MessageButtons::YesNo,
        platform::DialogButton::No);
    if (answer != platform::DialogButton::Yes) return;
    {
        const QSignalBlocker block(specList);
        delete specList->takeItem(row);
        specList->clearSelection();
        // The selection stays at the same place: on the entry that followed the deleted one.
        if (row < specList->count()) {
            specList->setCurrentRow(row);
        } else {
            specList->setCurrentRow(-1);
        }
    }
    m_changed = true;
    showCount();
    updateButtons();
}

FileSpecWindow::Choice FileSpecWindow::splitPattern(const QString& pattern) {
    static const QRegularExpression driveLetterRoot(QStringLiteral("^[A-Za-z]:[\\\\/]"));
#if defined(Q_OS_WIN)
    const bool rooted = driveLetterRoot.match(pattern).hasMatch();
#else
    const bool rooted = pattern.startsWith(QLatin1Char('/'));
#endif
    if (!rooted) return {QString(), pattern};
    qsizetype last = pattern.size() - 1;
    while (last >= 0 && !isSeparator(pattern[last])) --last;
    return {pattern.left(last + 1), pattern.mid(last + 1)};
}

void FileSpecWindow::selectPattern() {
    const QListWidgetItem* item = specList->currentItem();
    if (!item || !item->isSelected()) return;
    Choice chosen = splitPattern(item->text());
    if (!chosen.folder.isEmpty()) {
        const QString folder = platform::resolvePath(chosen.folder);
        // A stored folder may have gone since it was added: the main window keeps the folder it
        // shows rather than a pattern for a folder it cannot show.
        if (!QFileInfo(folder).isDir()) {
            m_platform.dialogs.messageBox(
                kTitle,
                QStringLiteral("The folder ") + chosen.folder +
                    QStringLiteral(" does not exist. Edit or delete this file specification."),
                platform::MessageIcon::Exclamation);
            return;
        }
        chosen.folder = folder;
    }
    m_choice = chosen;
    accept();
}

// Every way of closing passes here once: Close, Select, Esc and the window's own close button.
void FileSpecWindow::done(int result) {
    if (!m_stored) {
        m_stored = true;
        storeList();
    }
    QDialog::done(result);
}

void FileSpecWindow::storeList() {
    if (!m_changed) return;
    platform::Hourglass hourglass(m_platform.ui);
    m_platform.settings.remove(kSection);
    const QStringList texts = patterns();
    for (int position = 0; position < texts.size(); ++position) {
        m_platform.settings.set(kSection, keyOf(position), texts[position]);
    }
    m_platform.settings.set(QStringLiteral("Options"), QStringLiteral("DWGFolder"),
                            m_drawingFolder);
}

void FileSpecWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        showHelpWindow(m_platform, m_programFolder, this);
        return;
    }
    QDialog::keyPressEvent(event);  // Esc closes the window
}
