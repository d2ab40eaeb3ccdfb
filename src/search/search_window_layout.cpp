// SPDX-License-Identifier: GPL-3.0-or-later
// The search window's controls and their arrangement: the criteria above, the results below,
// the status line at the foot. Layouts size everything, so each caption fits in any font.

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/gui/named_widget.h"
#include "search/search_window.h"

using platform::named;

void SearchWindow::createControls() {
    setWindowTitle(QStringLiteral("Quillon - Find Block Attribute Tag Name and Values"));

    criteriaFrame = named<QGroupBox>("criteriaFrame", QStringLiteral("Search Criteria"));
    spaceLabel = named<QLabel>("spaceLabel", QStringLiteral("Space"));
    spaceCombo = named<QComboBox>("spaceCombo");
    spaceCombo->addItems(
        {QStringLiteral("Both"), QStringLiteral("Model"), QStringLiteral("Paper")});
    blocksLabel = named<QLabel>(
        "blocksLabel", QStringLiteral("Block Names (Use * for all. Separate block names with "
                                      "commas. Case insensitive)"));
    blocksEdit = named<QLineEdit>("blocksEdit");
    layersLabel = named<QLabel>(
        "layersLabel", QStringLiteral("Layer Names (Use * for all. Separate layer names with "
                                      "commas. Case insensitive)"));
    layersEdit = named<QLineEdit>("layersEdit");
    searchTextLabel = named<QLabel>(
        "searchTextLabel", QStringLiteral("Attribute Text Value or Tag Name to Search For"));
    searchTextEdit = named<QLineEdit>("searchTextEdit");
    searchTextEdit->setPlaceholderText(QStringLiteral("Enter text phrase here"));
    searchTextEdit->setClearButtonEnabled(true);
    folderLabel = named<QLabel>("folderLabel", QStringLiteral("Folder and File Specification "));
    folderEdit = named<QLineEdit>("folderEdit");
    browseButton = named<QPushButton>("browseButton", QStringLiteral(".."));
    browseButton->setToolTip(QStringLiteral(" Browse for folder "));
    registerCheck = named<QCheckBox>("registerCheck", QStringLiteral("Search the register"));
    registerCheck->setToolTip(
        QStringLiteral(" Answer from the drawing register instead of reading the drawings "));
    matchCaseCheck = named<QCheckBox>("matchCaseCheck", QStringLiteral("Match Case"));
    exactPhraseCheck = named<QCheckBox>("exactPhraseCheck", QStringLiteral("Exact Phrase Match"));
    findTagCheck = named<QCheckBox>("findTagCheck", QStringLiteral("Find Tag Name"));
    fullPathCheck = named<QCheckBox>("fullPathCheck", QStringLiteral("Include File Path"));
    delimiterLabel = named<QLabel>("delimiterLabel", QStringLiteral("Field Delimiter"));
    delimiterEdit = named<QLineEdit>("delimiterEdit");
    delimiterEdit->setMaxLength(1);
    // Room for one character and the frame, whatever the font.
    delimiterEdit->setFixedWidth(
        delimiterEdit->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 3 + 16);
    searchButton = named<QPushButton>("searchButton", QStringLiteral("&Search"));
    abortButton = named<QPushButton>("abortButton", QStringLiteral("&Abort"));
    abortButton->setEnabled(false);

    resultsFrame = named<QGroupBox>("resultsFrame", QStringLiteral("Search Results"));
    resultsEdit = named<QPlainTextEdit>("resultsEdit");
    resultsEdit->setReadOnly(true);
    resultsEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    resultsEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    resultsEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    saveButton = named<QPushButton>("saveButton", QStringLiteral("Save to &Text File"));
    clipboardButton = named<QPushButton>("clipboardButton", QStringLiteral("Save to &Clipboard"));
    includeCriteriaCheck = named<QCheckBox>("includeCriteriaCheck",
                                            QStringLiteral("Include Search Criteria When Saving"));
    csvCheck = named<QCheckBox>("csvCheck", QStringLiteral("CSV File"));
    statusLabel = named<QLabel>("statusLabel");
    statusLabel->setWordWrap(true);
    statusLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* space = new QHBoxLayout;
    space->addWidget(spaceLabel);
    space->addWidget(spaceCombo);
    space->addStretch(1);

    auto* folder = new QHBoxLayout;
    folder->addWidget(folderEdit, 1);
    folder->addWidget(browseButton);
    folder->addWidget(registerCheck);

    auto* checks = new QHBoxLayout;
    checks->addWidget(matchCaseCheck);
    checks->addWidget(exactPhraseCheck);
    checks->addWidget(findTagCheck);
    checks->addWidget(fullPathCheck);
    checks->addStretch(1);

    auto* runRow = new QHBoxLayout;
    runRow->addWidget(delimiterLabel);
    runRow->addWidget(delimiterEdit);
    runRow->addStretch(1);
    runRow->addWidget(searchButton);
    runRow->addWidget(abortButton);

    auto* criteria = new QVBoxLayout(criteriaFrame);
    criteria->addLayout(space);
    criteria->addWidget(blocksLabel);
    criteria->addWidget(blocksEdit);
    criteria->addWidget(layersLabel);
    criteria->addWidget(layersEdit);
    criteria->addWidget(searchTextLabel);
    criteria->addWidget(searchTextEdit);
    criteria->addWidget(folderLabel);
    criteria->addLayout(folder);
    criteria->addLayout(checks);
    criteria->addLayout(runRow);

    auto* saving = new QHBoxLayout;
    saving->addWidget(saveButton);
    saving->addWidget(clipboardButton);
    saving->addWidget(includeCriteriaCheck);
    saving->addWidget(csvCheck);
    saving->addStretch(1);

    auto* results = new QVBoxLayout(resultsFrame);
    results->addWidget(resultsEdit, 1);
    results->addLayout(saving);

    auto* window = new QVBoxLayout(this);
    window->addWidget(criteriaFrame);
    window->addWidget(resultsFrame, 1);
    window->addWidget(statusLabel);

    // Room for a few result lines beside the criteria.
    resultsEdit->setMinimumHeight(resultsEdit->fontMetrics().lineSpacing() * 8);
}
