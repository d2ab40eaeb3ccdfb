// SPDX-License-Identifier: GPL-3.0-or-later
// The update window's settings, section "Update": applied when the window opens, stored when it
// closes. A stored value that does not fit leaves its control as it was.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "update/update_window.h"

namespace {

const QString kSection = QStringLiteral("Update");

}  // namespace

void UpdateWindow::restoreSettings() {
    const platform::Settings& settings = m_platform.settings;
    auto get = [&](const char* key, const QString& fallback = {}) {
        return settings.get(kSection, QLatin1String(key), fallback);
    };
    if (const auto stored = kindFromWord(get("Kind"))) {
        kindCombo->setCurrentIndex(static_cast<int>(*stored));
    }
    sourceEdit->setText(get("Source"));
    listSheetsOrTables();
    sheetCombo->setEditText(get("Item"));
    folderEdit->setText(get("Folder"));
    blocksEdit->setText(get("Blocks", QStringLiteral("*")));
    const QString backup = get("Backup").trimmed();
    if (backup == QLatin1String("0") || backup == QLatin1String("1"))
        backupCheck->setChecked(backup == QLatin1String("1"));
    kindChanged();
}

void UpdateWindow::storeSettings() {
    platform::Settings& settings = m_platform.settings;
    auto set = [&](const char* key, const QString& value) {
        settings.set(kSection, QLatin1String(key), value);
    };
    set("Kind", kindWord(kind()));
    set("Source", sourceEdit->text());
    set("Item", sheetCombo->currentText());
    set("Folder", folderEdit->text());
    set("Blocks", blocksEdit->text());
    set("Backup", backupCheck->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}
