// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QListWidget>

#include "core/result.h"

// A folder list: the folders from the root down to the current one, then the current folder's
// subfolders. Double-clicking an entry opens it.
class FolderListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FolderListBox(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // Opens `folder`; a folder that is gone, is not a folder or cannot be read fails, saying
    // why, and leaves the list as it was.
    core::Status setPath(const QString& folder);

signals:
    void pathChanged();

private:
    void fill();
    QString m_path;
};
