// SPDX-License-Identifier: GPL-3.0-or-later
// The update window's controls and their arrangement: the source and options above, the plan
// below with its filter and summary, then the commands, the progress and the status line.
// Layouts size everything, so each caption fits in any font.

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>

#include "platform/gui/named_widget.h"
#include "update/plan_table_model.h"
#include "update/update_window.h"

using platform::named;

void UpdateWindow::createControls() {
    setWindowTitle(QStringLiteral("Quillon - Update drawings"));

    auto* sourceFrame = named<QGroupBox>("sourceFrame", QStringLiteral("Edited values"));
    kindLabel = named<QLabel>("kindLabel", QStringLiteral("Source"));
    kindCombo = named<QComboBox>("kindCombo");
    // In the order of SourceKind.
    kindCombo->addItems({QStringLiteral("Text file"), QStringLiteral("Spreadsheet (.xlsx)"),
                         QStringLiteral("Database (SQLite)")});
    sourceLabel = named<QLabel>("sourceLabel", QStringLiteral("File"));
    sourceEdit = named<QLineEdit>("sourceEdit");
    browseSourceButton = named<QPushButton>("browseSourceButton", QStringLiteral("&Browse..."));
    browseSourceButton->setToolTip(QStringLiteral(" Choose the file of edited values "));
    sheetLabel = named<QLabel>("sheetLabel", QStringLiteral("Sheet"));
    sheetCombo = named<QComboBox>("sheetCombo");
    sheetCombo->setEditable(true);
    sheetCombo->setInsertPolicy(QComboBox::NoInsert);
    sheetCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    sheetCombo->setMinimumContentsLength(16);

    auto* drawingsFrame = named<QGroupBox>("drawingsFrame", QStringLiteral("Drawings"));
    folderLabel = named<QLabel>("folderLabel", QStringLiteral("Folder of drawings"));
    folderEdit = named<QLineEdit>("folderEdit");
    folderEdit->setPlaceholderText(QStringLiteral("The source's folder"));
    folderEdit->setToolTip(
        QStringLiteral(" Where drawings the source names without a folder are looked for "));
    browseFolderButton = named<QPushButton>("browseFolderButton", QStringLiteral(".."));
    browseFolderButton->setToolTip(QStringLiteral(" Browse for folder "));
    blocksLabel = named<QLabel>("blocksLabel", QStringLiteral("Blocks"));
    blocksEdit = named<QLineEdit>("blocksEdit");
    blocksEdit->setToolTip(QStringLiteral(
        " The blocks a register updates: names separated by commas, wildcards allowed, letter "
        "case ignored "));
    backupCheck = named<QCheckBox>("backupCheck", QStringLiteral("Keep Backup (NAME.bak)"));
    backupCheck->setChecked(true);

    planButton = named<QPushButton>("planButton", QStringLiteral("&Plan"));
    planButton->setToolTip(QStringLiteral(" Read the source and show what would change "));
    applyButton = named<QPushButton>("applyButton", QStringLiteral("&Apply"));
    applyButton->setToolTip(QStringLiteral(" Write the planned changes into the drawings "));
    applyButton->setEnabled(false);
    cancelButton = named<QPushButton>("cancelButton", QStringLiteral("Cancel"));
    cancelButton->setToolTip(QStringLiteral(" Stop after the drawing being written "));
    cancelButton->setEnabled(false);
    closeButton = named<QPushButton>("closeButton", QStringLiteral("C&lose"));

    auto* planFrame = named<QGroupBox>("planFrame", QStringLiteral("Plan"));
    planModel = new PlanTableModel(this);
    planFilter = new QSortFilterProxyModel(this);
    planFilter->setSourceModel(planModel);
    planFilter->setFilterRole(PlanTableModel::problemRole);
    planFilter->setFilterKeyColumn(0);
    planFilter->setSortCaseSensitivity(Qt::CaseInsensitive);
    planView = named<QTableView>("planView");
    planView->setModel(planFilter);
    planView->setSortingEnabled(true);
    planView->sortByColumn(-1, Qt::AscendingOrder);  // the source's order until a click
    planView->setSelectionBehavior(QAbstractItemView::SelectRows);
    planView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    planView->setWordWrap(false);
    planView->verticalHeader()->hide();
    // One line of text a row: a plan of many drawings shows many values at once.
    planView->verticalHeader()->setDefaultSectionSize(planView->fontMetrics().lineSpacing() + 6);
    planView->horizontalHeader()->setStretchLastSection(true);
    planView->setMinimumHeight(planView->fontMetrics().lineSpacing() * 10);
    problemsOnlyCheck = named<QCheckBox>("problemsOnlyCheck", QStringLiteral("Problems only"));
    summaryLabel = named<QLabel>("summaryLabel");
    summaryLabel->setWordWrap(true);

    progressBar = named<QProgressBar>("progressBar");
    progressBar->setRange(0, 1);
    progressBar->setValue(0);
    progressBar->setFormat(QStringLiteral("%v of %m drawing(s)"));
    statusLabel = named<QLabel>("statusLabel");
    statusLabel->setWordWrap(true);
    statusLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* source = new QGridLayout(sourceFrame);
    source->addWidget(kindLabel, 0, 0);
    auto* kindRow = new QHBoxLayout;
    kindRow->addWidget(kindCombo);
    kindRow->addStretch(1);
    source->addLayout(kindRow, 0, 1);
    source->addWidget(sourceLabel, 1, 0);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(sourceEdit, 1);
    fileRow->addWidget(browseSourceButton);
    source->addLayout(fileRow, 1, 1);
    source->addWidget(sheetLabel, 2, 0);
    auto* sheetRow = new QHBoxLayout;
    sheetRow->addWidget(sheetCombo);
    sheetRow->addStretch(1);
    source->addLayout(sheetRow, 2, 1);
    source->setColumnStretch(1, 1);

    auto* drawings = new QGridLayout(drawingsFrame);
    drawings->addWidget(folderLabel, 0, 0);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folderEdit, 1);
    folderRow->addWidget(browseFolderButton);
    drawings->addLayout(folderRow, 0, 1);
    drawings->addWidget(blocksLabel, 1, 0);
    drawings->addWidget(blocksEdit, 1, 1);
    drawings->addWidget(backupCheck, 2, 1);
    drawings->setColumnStretch(1, 1);

    auto* planCommands = new QHBoxLayout;
    planCommands->addWidget(problemsOnlyCheck);
    planCommands->addWidget(summaryLabel, 1);
    auto* planBox = new QVBoxLayout(planFrame);
    planBox->addWidget(planView, 1);
    planBox->addLayout(planCommands);

    auto* commands = new QHBoxLayout;
    commands->addWidget(planButton);
    commands->addWidget(applyButton);
    commands->addWidget(progressBar, 1);
    commands->addWidget(cancelButton);
    commands->addWidget(closeButton);

    auto* window = new QVBoxLayout(this);
    window->addWidget(sourceFrame);
    window->addWidget(drawingsFrame);
    window->addWidget(planFrame, 1);
    window->addLayout(commands);
    window->addWidget(statusLabel);
}
