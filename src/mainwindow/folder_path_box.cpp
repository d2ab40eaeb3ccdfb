// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/folder_path_box.h"

#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLineEdit>

FolderPathBox::FolderPathBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    // What is typed is a request to go somewhere, not a new entry of the drop-down.
    setInsertPolicy(QComboBox::NoInsert);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(12);
    auto* folders = new QFileSystemModel(this);
    folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    folders->setRootPath(QString());
    auto* completer = new QCompleter(folders, this);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    setCompleter(completer);
    // Folders are read in the background: a folder read after its first letters were typed
    // offers its completions once it is there, not only at the next key.
    connect(lineEdit(), &QLineEdit::textEdited, this, [this, folders](const QString& text) {
        m_typing = true;
        // The model reads a folder only when asked: ask for the one being typed in.
        const QModelIndex typedIn = folders->index(QFileInfo(text).path());
        if (typedIn.isValid() && folders->canFetchMore(typedIn)) folders->fetchMore(typedIn);
    });
    connect(folders, &QFileSystemModel::directoryLoaded, this, [this] {
        if (!m_typing || !lineEdit()->hasFocus()) return;
        QCompleter* offered = this->completer();
        offered->setCompletionPrefix(lineEdit()->text());
        if (offered->completionCount() > 0) offered->complete();
    });
    // Enter is taken before the combo box sees it: its own handling of Enter would also report
    // an entry whose text matches what was typed.
    lineEdit()->installEventFilter(this);
    connect(this, &QComboBox::activated, this, [this](int index) {
        const QString entry = itemData(index).toString();
        if (!entry.isEmpty()) emit pathEntered(entry);
    });
}

bool FolderPathBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers() == Qt::NoModifier) {
            m_typing = false;
            emit pathEntered(lineEdit()->text().trimmed());
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void FolderPathBox::showFolder(const QString& folder) {
    const QSignalBlocker block(this);
    m_typing = false;
    setCurrentIndex(-1);
    lineEdit()->setText(QDir::toNativeSeparators(folder));
    // A long path shows its end: the folder's own name.
    lineEdit()->end(false);
}

void FolderPathBox::setRecent(const QStringList& entries) {
    const QString shown = lineEdit()->text();
    const QSignalBlocker block(this);
    clear();
    for (const QString& entry : entries) addItem(QDir::toNativeSeparators(entry), entry);
    setCurrentIndex(-1);
    lineEdit()->setText(shown);
}

QStringList FolderPathBox::recent() const {
    QStringList entries;
    for (int i = 0; i < count(); ++i) entries << itemData(i).toString();
    return entries;
}
