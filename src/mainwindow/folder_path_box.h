// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>
#include <QStringList>

// The path of the folder a folder list shows, to read, copy, type or paste. Completion offers
// the folders of what is typed so far; the drop-down offers the entries last used (folders,
// or files whose folder is meant). Enter, or an entry picked from the drop-down, asks to go
// there; the box never changes the folder itself.
class FolderPathBox : public QComboBox {
    Q_OBJECT
public:
    explicit FolderPathBox(QWidget* parent = nullptr);

    // Shows `folder` as the path, leaving the drop-down's entries alone.
    void showFolder(const QString& folder);
    // The drop-down's entries, latest first.
    void setRecent(const QStringList& entries);
    QStringList recent() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // The user asked for `path`: typed and Enter pressed, or picked from the drop-down.
    void pathEntered(const QString& path);

private:
    bool m_typing = false;  // the text was edited since a folder was shown or asked for
};
