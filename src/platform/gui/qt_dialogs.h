// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/services/dialogs.h"

namespace platform {

// Dialogs as Qt widgets, owned by the application's active window.
class QtDialogs : public Dialogs {
public:
    DialogButton message(const MessageBoxRequest& request) override;
    std::optional<QString> input(const InputBoxRequest& request) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    QString pickFolder(const FolderRequest& request) override;
};

}  // namespace platform
