// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>

// A drop-down list of the file-system roots (mount points here, drive letters on Windows).
class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget* parent = nullptr);

    QString drive() const { return currentData().toString(); }
    // Shows the root that holds `path`. Returns 0, or the error number of a root that cannot be
    // read: 68 (device unavailable) when it does not exist, 71 (disk not ready) when unreadable.
    int setDrive(const QString& path);
    void refresh();

signals:
    void driveChanged();  // the user picked a root, or setDrive changed it
};
