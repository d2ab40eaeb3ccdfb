// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/update_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>

#include "platform/paths.h"
#include "update/plan_summary.h"
#include "update/plan_table_model.h"
#include "writeback/edit_columns.h"
#include "writeback/undo_file.h"

UpdateWindow::UpdateWindow(platform::Platform platform, SourceFolders folders, QWidget* parent)
    : QWidget(parent, Qt::Window), m_platform(platform), m_folders(std::move(folders)) {
    createControls();
    connectHandlers();
    restoreSettings();
}

UpdateWindow::~UpdateWindow() = default;

void UpdateWindow::connectHandlers() {
    connect(kindCombo, &QComboBox::currentIndexChanged, this, [this] {
        kindChanged();
        listSheetsOrTables();
    });
    connect(sourceEdit, &QLineEdit::editingFinished, this, &UpdateWindow::listSheetsOrTables);
    connect(browseSourceButton, &QPushButton::clicked, this, &UpdateWindow::browseForSource);
    connect(browseFolderButton, &QPushButton::clicked, this, &UpdateWindow::browseForFolder);
    connect(planButton, &QPushButton::clicked, this, &UpdateWindow::plan);
    connect(applyButton, &QPushButton::clicked, this, &UpdateWindow::apply);
    connect(cancelButton, &QPushButton::clicked, this, &UpdateWindow::requestCancel);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(problemsOnlyCheck, &QCheckBox::toggled, this, &UpdateWindow::showProblemsOnly);
}

SourceKind UpdateWindow::kind() const {
    return static_cast<SourceKind>(std::max(0, kindCombo->currentIndex()));
}

UpdateSource UpdateWindow::sourceFromControls() const {
    UpdateSource source;
    source.kind = kind();
    source.path = platform::resolvePath(sourceEdit->text().trimmed());
    if (source.kind != SourceKind::TextFile) source.item = sheetCombo->currentText().trimmed();
    return source;
}

writeback::UpdateOptions UpdateWindow::optionsFromControls(const QString& source) const {
    writeback::UpdateOptions options;
    const QString folder = folderEdit->text().trimmed();
    // A drawing named without a folder is most likely beside the list that names it.
    options.folder = folder.isEmpty() ? QFileInfo(source).absolutePath() : folder;
    for (const QString& name : blocksEdit->text().split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (!name.trimmed().isEmpty()) options.blockFilter << name.trimmed();
    }
    options.keepBackup = backupCheck->isChecked();
    return options;
}

void UpdateWindow::kindChanged() {
    const SourceKind shown = kind();
    sheetLabel->setText(shown == SourceKind::Database ? QStringLiteral("Table")
                                                      : QStringLiteral("Sheet"));
    sheetLabel->setEnabled(shown != SourceKind::TextFile);
    sheetCombo->setEnabled(shown != SourceKind::TextFile);
}

void UpdateWindow::listSheetsOrTables() {
    const QString typed = sheetCombo->currentText();
    const QStringList names = sheetsOrTables(kind(), sourceFromControls().path);
    sheetCombo->clear();
    sheetCombo->addItems(names);
    // A name the file still has stays; a database of one table needs no choosing.
    QString chosen;
    if (names.contains(typed, Qt::CaseInsensitive)) {
        chosen = typed;
    } else if (kind() == SourceKind::Database && names.size() == 1) {
        chosen = names.front();
    }
    sheetCombo->setEditText(chosen);
}

void UpdateWindow::browseForSource() {
    const QString typed = sourceEdit->text().trimmed();
    const QString start = typed.isEmpty() ? m_folders.of(kind()) : QFileInfo(typed).absolutePath();
    const QString chosen = m_platform.dialogs.openFile(sourceOpenRequest(kind(), start));
    if (chosen.isEmpty()) return;
    sourceEdit->setText(chosen);
    listSheetsOrTables();
}

void UpdateWindow::browseForFolder() {
    const QString typed = folderEdit->text().trimmed();
    const QString start =
        typed.isEmpty() ? QFileInfo(sourceFromControls().path).absolutePath() : typed;
    const QString chosen = m_platform.dialogs.pickFolder(
        {QStringLiteral("Select the folder of the drawings the source names"), start});
    if (!chosen.isEmpty()) folderEdit->setText(chosen);
}

void UpdateWindow::plan() {
    if (m_applying) return;
    const UpdateSource source = sourceFromControls();
    if (source.path.isEmpty()) {
        showStatus(QStringLiteral("Choose the file of edited values."));
        sourceEdit->setFocus();
        return;
    }
    if (source.kind == SourceKind::Database && source.item.isEmpty()) {
        showStatus(QStringLiteral("Choose the table of edited values."));
        sheetCombo->setFocus();
        return;
    }
    const writeback::UpdateOptions options = optionsFromControls(source.path);
    if (!folderEdit->text().trimmed().isEmpty() && !QFileInfo(options.folder).isDir()) {
        showPlan(std::nullopt);
        showStatus(QStringLiteral("The folder of drawings ") + options.folder +
                   QStringLiteral(" does not exist."));
        return;
    }

    platform::Hourglass hourglass(m_platform.ui);
    showStatus(QStringLiteral("Reading ") + QFileInfo(source.path).fileName() +
               QStringLiteral("..."));
    const auto table = writeback::readEditSource(source);
    if (!table) {
        showPlan(std::nullopt);
        showStatus(QStringLiteral("The source cannot be read: ") + table.error().description);
        return;
    }
    const auto columns = writeback::editColumns(table.value());
    if (!columns) {
        showPlan(std::nullopt);
        showStatus(QStringLiteral("The source cannot be written back: ") +
                   columns.error().description);
        return;
    }
    showStatus(QStringLiteral("Reading the drawings..."));
    // Painted now, without letting a second click on Plan in while this one runs.
    statusLabel->repaint();
    writeback::UpdatePlan made = writeback::planUpdate(table.value(), columns.value(), options);
    m_plannedSource = source;
    m_plannedOptions = options;
    showPlan(std::move(made));
    showStatus(QStringLiteral("Planned from ") + table.value().origin +
               QStringLiteral(". Nothing has been written yet."));
}

void UpdateWindow::showPlan(std::optional<writeback::UpdatePlan> plan) {
    m_plan = std::move(plan);
    m_planApplied = false;
    if (m_plan) {
        planModel->setPlan(*m_plan);
        planView->resizeColumnsToContents();
        // A long value shows its start; the tool tip and a wider column show the rest.
        const int widest = planView->fontMetrics().averageCharWidth() * 40;
        for (int column = 0; column < planModel->columnCount(); ++column) {
            if (planView->columnWidth(column) > widest) planView->setColumnWidth(column, widest);
        }
    } else {
        planModel->clear();
    }
    const PlanCounts counts = m_plan ? countPlan(*m_plan) : PlanCounts{};
    summaryLabel->setText(m_plan ? planSummary(counts) : QString());
    applyButton->setEnabled(counts.change > 0);
    progressBar->setRange(0, std::max(1, counts.drawingsToWrite));
    progressBar->setValue(0);
}

void UpdateWindow::showProblemsOnly(bool only) {
    planFilter->setFilterFixedString(only ? QStringLiteral("1") : QString());
}

void UpdateWindow::showStatus(const QString& text) {
    statusLabel->setText(text);
}

void UpdateWindow::setBusy(bool busy) {
    m_applying = busy;
    for (QWidget* control : std::initializer_list<QWidget*>{
             planButton, applyButton, browseSourceButton, browseFolderButton, kindCombo, sourceEdit,
             sheetCombo, folderEdit, blocksEdit, backupCheck, closeButton}) {
        control->setEnabled(!busy);
    }
    cancelButton->setEnabled(busy);
    if (!busy) kindChanged();
}

void UpdateWindow::apply() {
    if (m_applying || !m_plan || m_planApplied) return;
    const PlanCounts counts = countPlan(*m_plan);
    if (counts.change == 0) return;
    const platform::DialogButton answer =
        m_platform.dialogs.messageBox(QStringLiteral("Update drawings"),
                                      QStringLiteral("Write %1 value(s) into %2 drawing(s)?")
                                          .arg(counts.change)
                                          .arg(counts.drawingsToWrite),
                                      platform::MessageIcon::Question,
                                      platform::MessageButtons::YesNo, platform::DialogButton::No);
    if (answer != platform::DialogButton::Yes) return;

    // The plan's folder and blocks made the plan; the backup is the box's as Apply is pressed.
    writeback::UpdateOptions options = m_plannedOptions;
    options.keepBackup = backupCheck->isChecked();
    const writeback::UpdatePlan writable = writablePart(*m_plan);
    const int planned = static_cast<int>(writable.drawings.size());
    m_cancelRequested = false;
    setBusy(true);
    progressBar->setRange(0, planned);
    progressBar->setValue(0);
    writeback::ApplyCallbacks callbacks;
    callbacks.progress = [&](int index, int count) {
        progressBar->setValue(index);
        if (index < count) {
            const QString name =
                QFileInfo(writable.drawings[static_cast<std::size_t>(index)].path).fileName();
            showStatus(
                QStringLiteral("Writing %1 (%2 of %3)...").arg(name).arg(index + 1).arg(count));
        }
        // The place where Cancel, a repaint or closing the window gets through.
        m_platform.ui.processEvents();
        return !m_cancelRequested;
    };
    const writeback::ApplyResult result = writeback::applyUpdate(
        writable, options, writeback::undoSourceFor(m_plannedSource, m_platform.clock.now()),
        callbacks);
    progressBar->setValue(static_cast<int>(result.drawings.size()));
    setBusy(false);
    // The drawings written no longer match the plan: it must be made again before another run.
    m_planApplied = true;
    applyButton->setEnabled(false);
    showStatus(applySummary(result, planned));
    if (m_closeWhenStopped) close();
}

void UpdateWindow::requestCancel() {
    if (m_applying) m_cancelRequested = true;
}

void UpdateWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void UpdateWindow::closeEvent(QCloseEvent* event) {
    if (m_applying) {
        // A drawing is never left half written: the run stops before the next one, then the
        // window closes.
        m_closeWhenStopped = true;
        m_cancelRequested = true;
        event->ignore();
        return;
    }
    if (!m_settingsStored) {
        storeSettings();
        m_settingsStored = true;
    }
    event->accept();
}
