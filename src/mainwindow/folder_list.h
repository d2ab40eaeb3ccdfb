// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QListWidget>

#include "core/result.h"

// A folder list: the folders from the root down to the current one, then the current folder's
// subfolders. Double-clicking an entry, or Enter on it, opens it; typing a name's first letters
// moves to it.
class FolderListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FolderListBox(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // Opens `folder`; a folder that is gone, is not a folder or cannot be read fails, saying
    // why, and leaves the list as it was.
    core::Status setPath(const QString& folder);

    // Moves to the next entry whose name starts with what was typed in quick succession; the
    // entries' indentation is no part of their names.
    void keyboardSearch(const QString& search) override;

signals:
    void pathChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fill();
    QString m_path;
    QString m_typed;
    QElapsedTimer m_sinceTyped;
};
