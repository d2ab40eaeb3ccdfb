// SPDX-License-Identifier: GPL-3.0-or-later
// The search window's settings, section "Options": applied when the window opens, stored when
// it closes, key by key in the same order.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "search/search_window.h"

namespace {

const QString kSection = QStringLiteral("Options");

// A check box's stored state: "0" or "1". Any other text leaves the box as it is.
void applyCheck(QCheckBox* box, const QString& stored) {
    bool isNumber = false;
    const int value = stored.trimmed().toInt(&isNumber);
    if (!isNumber || (value != 0 && value != 1)) return;
    box->setChecked(value == 1);
}

QString checkText(const QCheckBox* box) {
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace

void SearchWindow::setDrawingFolder(const QString& folder) {
    // Shared with the main window and the file pattern list, which stores it.
    m_drawingFolder = folder;
    emit drawingFolderChosen(folder);
}

void SearchWindow::restoreSettings() {
    const platform::Settings& settings = m_platform.settings;
    auto get = [&](const char* key, const QString& fallback = {}) {
        return settings.get(kSection, QLatin1String(key), fallback);
    };
    // A value the list does not hold leaves it without a selection.
    spaceCombo->setCurrentIndex(spaceCombo->findText(get("Space", QStringLiteral("Both"))));
    applyCheck(matchCaseCheck, get("Case"));
    applyCheck(exactPhraseCheck, get("Whole"));
    applyCheck(findTagCheck, get("Tag"));
    applyCheck(fullPathCheck, get("Path"));
    delimiterEdit->setText(get("FieldDelimiter", QStringLiteral(",")).remove(QLatin1Char(' ')));
    blocksEdit->setText(get("Blocks", QStringLiteral("*")));
    layersEdit->setText(get("Layers", QStringLiteral("*")));
    // The prompt is the box's placeholder now; an older version stored it as the text itself.
    QString phrase = get("Search");
    if (phrase == QLatin1String("Enter text phrase here")) phrase.clear();
    searchTextEdit->setText(phrase);
    folderEdit->setText(get("Folder"));
    applyCheck(includeCriteriaCheck, get("Include"));
    applyCheck(csvCheck, get("CSV"));
    m_saveFolder = get("TextFile", drawingFolder());
    applyCheck(registerCheck, get("SearchRegister"));
}

void SearchWindow::storeSettings() {
    platform::Settings& settings = m_platform.settings;
    auto set = [&](const char* key, const QString& value) {
        settings.set(kSection, QLatin1String(key), value);
    };
    set("Space", spaceCombo->currentText());
    set("Case", checkText(matchCaseCheck));
    set("Whole", checkText(exactPhraseCheck));
    set("Tag", checkText(findTagCheck));
    set("Path", checkText(fullPathCheck));
    set("FieldDelimiter", delimiterEdit->text());
    set("Blocks", blocksEdit->text());
    set("Layers", layersEdit->text());
    set("Search", searchTextEdit->text());
    set("Folder", folderEdit->text());
    set("Include", checkText(includeCriteriaCheck));
    set("CSV", checkText(csvCheck));
    set("TextFile", m_saveFolder);
    set("SearchRegister", checkText(registerCheck));
}
