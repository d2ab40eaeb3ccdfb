// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gui/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

#include "platform/gui/file_filter.h"

namespace platform {

namespace {

QWidget* owner() {
    return QApplication::activeWindow();
}

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::None:
            return QMessageBox::NoIcon;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// The buttons of each set, in the order they are shown (the first is the default preset).
QList<QMessageBox::StandardButton> qtButtons(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::OK:
            return {QMessageBox::Ok};
        case MessageButtons::OKCancel:
            return {QMessageBox::Ok, QMessageBox::Cancel};
        case MessageButtons::AbortRetryIgnore:
            return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
        case MessageButtons::YesNoCancel:
            return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
        case MessageButtons::YesNo:
            return {QMessageBox::Yes, QMessageBox::No};
        case MessageButtons::RetryCancel:
            return {QMessageBox::Retry, QMessageBox::Cancel};
    }
    return {QMessageBox::Ok};
}

QMessageBox::StandardButton qtButton(DialogButton button) {
    switch (button) {
        case DialogButton::None:
            return QMessageBox::NoButton;
        case DialogButton::OK:
            return QMessageBox::Ok;
        case DialogButton::Cancel:
            return QMessageBox::Cancel;
        case DialogButton::Abort:
            return QMessageBox::Abort;
        case DialogButton::Retry:
            return QMessageBox::Retry;
        case DialogButton::Ignore:
            return QMessageBox::Ignore;
        case DialogButton::Yes:
            return QMessageBox::Yes;
        case DialogButton::No:
            return QMessageBox::No;
    }
    return QMessageBox::NoButton;
}

DialogButton fromQtButton(int button) {
    switch (button) {
        case QMessageBox::Ok:
            return DialogButton::OK;
        case QMessageBox::Cancel:
            return DialogButton::Cancel;
        case QMessageBox::Abort:
            return DialogButton::Abort;
        case QMessageBox::Retry:
            return DialogButton::Retry;
        case QMessageBox::Ignore:
            return DialogButton::Ignore;
        case QMessageBox::Yes:
            return DialogButton::Yes;
        case QMessageBox::No:
            return DialogButton::No;
        default:
            return DialogButton::None;
    }
}

// What closing the box without a button means: the most cautious answer of the set.
QMessageBox::StandardButton escapeButton(const QList<QMessageBox::StandardButton>& buttons) {
    for (const auto button : {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Abort}) {
        if (buttons.contains(button)) return button;
    }
    return buttons.first();
}

void prepareFileDialog(QFileDialog& dialog, const FileDialogRequest& request) {
    dialog.setWindowTitle(request.caption);
    if (!request.folder.isEmpty()) dialog.setDirectory(request.folder);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = qtNameFilters(request.filter);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
}

}  // namespace

DialogButton QtDialogs::message(const MessageBoxRequest& request) {
    QMessageBox box(qtIcon(request.icon), request.caption, request.text, QMessageBox::NoButton,
                    owner());
    const QList<QMessageBox::StandardButton> buttons = qtButtons(request.buttons);
    for (const QMessageBox::StandardButton button : buttons) box.addButton(button);
    const QMessageBox::StandardButton preset = qtButton(request.preset);
    box.setDefaultButton(buttons.contains(preset) ? preset : buttons.first());
    const QMessageBox::StandardButton escape = escapeButton(buttons);
    box.setEscapeButton(escape);
    if (request.systemModal) {
        box.setWindowModality(Qt::ApplicationModal);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    }
    box.exec();
    const DialogButton pressed = fromQtButton(box.standardButton(box.clickedButton()));
    return pressed == DialogButton::None ? fromQtButton(escape) : pressed;
}

std::optional<QString> QtDialogs::input(const InputBoxRequest& request) {
    bool ok = false;
    const QString text = QInputDialog::getText(owner(), request.caption, request.prompt,
                                               QLineEdit::Normal, request.defaultText, &ok);
    if (!ok) return std::nullopt;
    return text;
}

QString QtDialogs::openFile(const FileDialogRequest& request) {
    QFileDialog dialog(owner());
    prepareFileDialog(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

QString QtDialogs::saveFile(const FileDialogRequest& request) {
    QFileDialog dialog(owner());
    prepareFileDialog(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        const QString path = dialog.selectedFiles().first();
        if (!request.confirmCreate || QFileInfo::exists(path)) return path;
        const auto answer = QMessageBox::question(
            owner(), request.caption,
            QStringLiteral("%1\nThis file does not exist.\nDo you want to create it?")
                .arg(QFileInfo(path).fileName()));
        if (answer == QMessageBox::Yes) return path;
    }
}

QString QtDialogs::pickFolder(const FolderRequest& request) {
    return QFileDialog::getExistingDirectory(owner(), request.caption, request.startFolder,
                                             QFileDialog::ShowDirsOnly);
}

}  // namespace platform
