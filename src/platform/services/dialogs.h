// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace platform {

enum class MessageIcon { None, Information, Exclamation, Question, Critical };

enum class MessageButtons { OK, OKCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };

enum class DialogButton { None, OK, Cancel, Abort, Retry, Ignore, Yes, No };

struct MessageBoxRequest {
    QString caption;
    QString text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::OK;
    DialogButton preset = DialogButton::None;  // the focused button, which Enter presses;
                                               // None: the first button of the set
    bool systemModal = false;                  // stays in front of every window
};

struct InputBoxRequest {
    QString prompt;
    QString caption;
    QString defaultText;
};

// Filters are display-name and pattern pairs separated by "|", patterns by ";":
// "Text Files (*.txt)|*.txt|All Files (*.*)|*.*". The first filter is preselected.
struct FileDialogRequest {
    QString caption;
    QString folder;  // where the dialog starts
    QString filter;
    QString fileName;              // the name proposed in a Save dialog
    bool confirmOverwrite = true;  // Save: ask before replacing an existing file
    bool confirmCreate = false;    // Save: ask before naming a file that does not exist yet
};

struct FolderRequest {
    QString caption;
    QString startFolder;
};

// Message, input, file and folder boxes. Every box is modal and owned by the active window.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual DialogButton message(const MessageBoxRequest& request) = 0;
    virtual std::optional<QString> input(const InputBoxRequest& request) = 0;  // nullopt: cancel
    virtual QString openFile(const FileDialogRequest& request) = 0;  // empty: cancel; must exist
    virtual QString saveFile(const FileDialogRequest& request) = 0;  // empty: cancel
    virtual QString pickFolder(const FolderRequest& request) = 0;    // empty: cancel

    DialogButton messageBox(const QString& caption, const QString& text, MessageIcon icon,
                            MessageButtons buttons = MessageButtons::OK,
                            DialogButton preset = DialogButton::None, bool systemModal = false) {
        return message({caption, text, icon, buttons, preset, systemModal});
    }
    std::optional<QString> inputBox(const QString& prompt, const QString& caption,
                                    const QString& defaultText = {}) {
        return input({prompt, caption, defaultText});
    }
};

}  // namespace platform
