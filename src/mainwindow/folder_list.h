// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QListWidget>

// A folder list: the folders from the root down to the current one, then the current folder's
// subfolders. Double-clicking an entry opens it.
class FolderListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FolderListBox(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // Opens `folder`: 0, or 76 (path not found) when it is not an existing folder, 71 when it
    // cannot be read; a failure leaves the list as it was.
    int setPath(const QString& folder);

signals:
    void pathChanged();

private:
    void fill();
    QString m_path;
};
