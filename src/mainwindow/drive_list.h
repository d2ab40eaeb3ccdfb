// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>

#include "core/result.h"

// A drop-down list of the file-system roots (mount points here, drive letters on Windows).
class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget* parent = nullptr);

    QString drive() const { return currentData().toString(); }
    // Shows the root that holds `path`; fails, saying why, for a root that is gone or cannot be
    // read.
    core::Status setDrive(const QString& path);
    void refresh();

signals:
    void driveChanged();  // the user picked a root, or setDrive changed it
};
