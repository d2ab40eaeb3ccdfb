// SPDX-License-Identifier: GPL-3.0-or-later
// Saving the results: to a text or CSV file chosen in a Save As box, or to the clipboard, with
// the search criteria in front when asked.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "search/search_window.h"

namespace {

const QString kCaption = QStringLiteral("Quillon");
const QString kNoResults = QStringLiteral("No results to save.");

}  // namespace

ShownCriteria SearchWindow::shownCriteria() const {
    ShownCriteria c;
    c.space = spaceCombo->currentText();
    c.blocks = blocksEdit->text();
    c.layers = layersEdit->text();
    c.searchText = searchTextEdit->text();
    c.folderPattern = folderEdit->text();
    c.matchCase = matchCaseCheck->isChecked();
    c.exactPhrase = exactPhraseCheck->isChecked();
    c.findTag = findTagCheck->isChecked();
    c.delimiter = delimiterEdit->text();
    return c;
}

QString SearchWindow::resultsWithCriteria(const QString& results) const {
    // The criteria as the window shows them now, not as they were for the run.
    if (!includeCriteriaCheck->isChecked()) return results;
    return criteriaBlock(shownCriteria()) + results;
}

void SearchWindow::saveToTextFile() {
    if (m_results.isEmpty()) {
        m_platform.dialogs.messageBox(kCaption, kNoResults, platform::MessageIcon::Exclamation);
        return;
    }
    const bool csv = csvCheck->isChecked();
    const QString path =
        stripNull(m_platform.dialogs.saveFile(resultsSaveRequest(csv, m_saveFolder)));
    if (path.isEmpty()) return;
    m_saveFolder = saveFolderOf(path);

    const QString text =
        resultsWithCriteria(csv ? m_results.csvText() : m_results.text()) + QStringLiteral("\r\n");
    if (const std::optional<QString> reason = writeResultsFile(path, text)) {
        m_platform.dialogs.messageBox(
            kCaption, QStringLiteral("File ") + path + QStringLiteral(" was not saved: ") + *reason,
            platform::MessageIcon::Exclamation);
        return;
    }
    m_platform.dialogs.messageBox(kCaption,
                                  QStringLiteral("File ") + path + QStringLiteral(" saved."),
                                  platform::MessageIcon::Information);
}

void SearchWindow::copyToClipboard() {
    if (m_results.isEmpty()) {
        m_platform.dialogs.messageBox(kCaption, kNoResults, platform::MessageIcon::Exclamation);
        return;
    }
    m_platform.clipboard.clear();
    const QString text = resultsWithCriteria(m_results.text());
    m_platform.clipboard.setText(text);
    m_platform.dialogs.messageBox(
        kCaption, QString::number(text.size()) + QStringLiteral(" bytes copied to the Clipboard "),
        platform::MessageIcon::Information);
}
