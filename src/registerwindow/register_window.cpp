// SPDX-License-Identifier: GPL-3.0-or-later
#include "registerwindow/register_window.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "register/drawing_walk.h"

namespace {

enum Column { kFolderColumn, kDrawingsColumn, kMissingColumn, kIndexedColumn };

QString shownTime(qint64 ms) {
    return ms > 0 ? QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                  : QString();
}

QString summaryText(const reg::IndexSummary& summary) {
    QString text = QStringLiteral(
                       "%1 drawings: %2 read, %3 unchanged, %4 moved, %5 could not be read, "
                       "%6 marked missing, %7 forgotten.")
                       .arg(summary.found)
                       .arg(summary.read)
                       .arg(summary.unchanged + summary.touched)
                       .arg(summary.moved)
                       .arg(summary.failures.size())
                       .arg(summary.missing)
                       .arg(summary.forgotten);
    return (summary.cancelled ? QStringLiteral("Cancelled. ") : QStringLiteral("Indexed ")) + text;
}

}  // namespace

RegisterWindow::RegisterWindow(platform::Platform platform,
                               std::function<void(reg::IndexOptions&)> tuneRun, QWidget* parent)
    : QWidget(parent, Qt::Window), m_platform(platform), m_tuneRun(std::move(tuneRun)) {
    createControls();
    showChoice(loadRegisterChoice(m_platform.settings));
    connectHandlers();
    setRunning(false);
    refreshFolders();
}

RegisterWindow::~RegisterWindow() {
    // The run's thread posts to this window: it must be over before the window is.
    stopAndWait();
}

void RegisterWindow::connectHandlers() {
    connect(browseButton, &QPushButton::clicked, this, &RegisterWindow::browseForFile);
    connect(addFolderButton, &QPushButton::clicked, this, &RegisterWindow::addFolder);
    connect(removeFolderButton, &QPushButton::clicked, this, &RegisterWindow::removeFolder);
    connect(indexButton, &QPushButton::clicked, this, &RegisterWindow::startIndex);
    connect(cancelButton, &QPushButton::clicked, this, &RegisterWindow::cancelIndex);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(fileOption, &QRadioButton::toggled, this, [this] {
        setRunning(false);
        refreshFolders();
    });
    for (QLineEdit* edit : {fileEdit, serverEdit})
        connect(edit, &QLineEdit::editingFinished, this, &RegisterWindow::refreshFolders);
}

void RegisterWindow::showChoice(const RegisterChoice& choice) {
    fileEdit->setText(choice.file);
    serverEdit->setText(choice.server);
    const bool server = choice.onServer && reg::serverRegistersAvailable();
    serverOption->setChecked(server);
    fileOption->setChecked(!server);
    m_folders = choice.folders;
}

RegisterChoice RegisterWindow::choiceFromControls() const {
    RegisterChoice choice;
    choice.onServer = serverOption->isChecked();
    choice.file = fileEdit->text().trimmed();
    choice.server = serverEdit->text().trimmed();
    choice.folders = m_folders;
    return choice;
}

void RegisterWindow::showError(const QString& text) {
    QPalette red = statusLabel->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    statusLabel->setPalette(red);
    statusLabel->setText(text);
}

void RegisterWindow::refreshFolders() {
    statusLabel->setPalette(palette());
    statusLabel->clear();
    const QString selected =
        folderList->currentItem() ? folderList->currentItem()->text(kFolderColumn) : QString();
    folderList->clear();
    for (const QString& folder : m_folders) {
        auto* row = new QTreeWidgetItem(folderList, {folder});
        if (folder == selected) folderList->setCurrentItem(row);
    }
    const RegisterChoice choice = choiceFromControls();
    if (choice.onServer ? choice.server.isEmpty() : choice.file.isEmpty()) {
        showError(choice.onServer ? QStringLiteral("Type the server's connection.")
                                  : QStringLiteral("Choose the register file."));
        return;
    }
    // Looking does not make a register: the first index run does.
    if (!choice.onServer && !QFileInfo::exists(choice.file)) {
        statusLabel->setText(QStringLiteral("No register file yet: Index Now makes it."));
        return;
    }
    auto opened = reg::openRegisterDatabase(choice.address());
    if (!opened) {
        showError(opened.error().description);
        return;
    }
    for (int i = 0; i < folderList->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = folderList->topLevelItem(i);
        // The register names drawings by their folder's real path, links resolved.
        const QString root = reg::registerRoots({row->text(kFolderColumn)}).value(0);
        const auto summary =
            opened.value()->folderSummary(root.endsWith(u'/') ? root : root + u'/');
        if (!summary) {
            showError(summary.error().description);
            return;
        }
        row->setText(kDrawingsColumn, QString::number(summary.value().drawings));
        row->setText(kMissingColumn, QString::number(summary.value().missing));
        // The last run that walked the folder whole; for a register of an older Quillon,
        // which kept no runs, when the newest of its drawings was stored.
        const reg::FolderSummary& held = summary.value();
        row->setText(kIndexedColumn,
                     shownTime(held.lastIndexed > 0 ? held.lastIndexed : held.newestEntry));
        for (const Column column : {kDrawingsColumn, kMissingColumn})
            row->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
}

void RegisterWindow::browseForFile() {
    const QString typed = fileEdit->text().trimmed();
    platform::FileDialogRequest request;
    request.caption = QStringLiteral("Choose the register file");
    request.folder = typed.isEmpty() ? QFileInfo(defaultRegisterFile()).absolutePath()
                                     : QFileInfo(typed).absolutePath();
    request.fileName =
        typed.isEmpty() ? QFileInfo(defaultRegisterFile()).fileName() : QFileInfo(typed).fileName();
    request.filter = QStringLiteral("Register (*.sqlite)|*.sqlite|All Files (*.*)|*.*");
    // An existing register is opened as it is; a new name makes a register on the next run.
    request.confirmOverwrite = false;
    const QString chosen = m_platform.dialogs.saveFile(request);
    if (chosen.isEmpty()) return;
    fileEdit->setText(chosen);
    fileOption->setChecked(true);
    refreshFolders();
}

void RegisterWindow::addFolder() {
    const QString chosen = m_platform.dialogs.pickFolder(
        {QStringLiteral("Choose a folder of drawings for the register"),
         m_folders.isEmpty() ? QDir::homePath() : m_folders.last()});
    if (chosen.isEmpty()) return;
    const QString folder = QDir::cleanPath(chosen);
    if (!m_folders.contains(folder)) m_folders << folder;
    refreshFolders();
    const auto found = folderList->findItems(folder, Qt::MatchExactly, kFolderColumn);
    if (!found.isEmpty()) folderList->setCurrentItem(found.first());
}

void RegisterWindow::removeFolder() {
    QTreeWidgetItem* row = folderList->currentItem();
    if (!row) return;
    // The register keeps the folder's drawings: searches still find them.
    m_folders.removeAll(row->text(kFolderColumn));
    refreshFolders();
}

void RegisterWindow::setRunning(bool running) {
    const bool onServer = serverOption->isChecked();
    fileOption->setEnabled(!running);
    serverOption->setEnabled(!running && reg::serverRegistersAvailable());
    fileEdit->setEnabled(!running && !onServer);
    browseButton->setEnabled(!running && !onServer);
    serverEdit->setEnabled(!running && onServer);
    addFolderButton->setEnabled(!running);
    removeFolderButton->setEnabled(!running);
    indexButton->setEnabled(!running);
    cancelButton->setEnabled(running);
}

void RegisterWindow::startIndex() {
    if (isIndexing()) return;
    if (m_folders.isEmpty()) {
        showError(QStringLiteral("Add a folder of drawings first."));
        return;
    }
    const RegisterChoice choice = choiceFromControls();
    if (!choice.onServer) QDir().mkpath(QFileInfo(choice.file).absolutePath());
    reg::IndexOptions options;
    options.database = choice.file;
    options.server = choice.onServer ? choice.server : QString();
    options.folders = m_folders;
    options.cancel = &m_cancel;
    options.progress = [this](qsizetype done, qsizetype total) {
        m_done = done;
        m_total = total;
        if (m_progressPosted.exchange(true)) return;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_progressPosted = false;
                showProgress();
            },
            Qt::QueuedConnection);
    };
    if (m_tuneRun) m_tuneRun(options);

    m_cancel = false;
    m_done = 0;
    m_total = 0;
    progressBar->setRange(0, 0);  // busy until the walk has counted the drawings
    progressBar->setValue(0);
    summaryLabel->setText(QStringLiteral("Indexing..."));
    statusLabel->setPalette(palette());
    statusLabel->clear();
    setRunning(true);
    m_worker = std::thread([this, options] {
        const reg::IndexSummary summary = reg::runIndex(options);
        QMetaObject::invokeMethod(
            this, [this, summary] { indexFinished(summary); }, Qt::QueuedConnection);
    });
}

void RegisterWindow::showProgress() {
    const qint64 total = m_total;
    const qint64 done = m_done;
    // A progress bar counts in int: a very large archive is shown in thousands.
    const int scale = total > 1000000 ? 1000 : 1;
    progressBar->setRange(0, static_cast<int>(total / scale));
    progressBar->setValue(static_cast<int>(done / scale));
    progressBar->setFormat(QStringLiteral("%1 of %2 drawings").arg(done).arg(total));
}

void RegisterWindow::cancelIndex() {
    m_cancel = true;
    summaryLabel->setText(QStringLiteral("Cancelling..."));
}

void RegisterWindow::stopAndWait() {
    if (!m_worker.joinable()) return;
    m_cancel = true;
    m_worker.join();
}

void RegisterWindow::indexFinished(const reg::IndexSummary& summary) {
    if (m_worker.joinable()) m_worker.join();
    setRunning(false);
    progressBar->setRange(0, 1);
    progressBar->setValue(summary.cancelled ? 0 : 1);
    progressBar->setFormat(summary.cancelled ? QStringLiteral("Cancelled")
                                             : QStringLiteral("%1 drawings").arg(summary.found));
    if (!summary.opened) {
        summaryLabel->clear();
        refreshFolders();
        showError(summary.error);
        return;
    }
    summaryLabel->setText(summaryText(summary));
    refreshFolders();
    if (!summary.error.isEmpty()) {
        showError(QStringLiteral("The register could not be written: ") + summary.error);
    } else if (!summary.failures.isEmpty()) {
        statusLabel->setText(QStringLiteral("Not read: ") + summary.failures.first() +
                             (summary.failures.size() > 1
                                  ? QStringLiteral("; and %1 more").arg(summary.failures.size() - 1)
                                  : QString()));
    }
}

void RegisterWindow::closeEvent(QCloseEvent* event) {
    // A run stops at its next drawing; what it stored stays.
    stopAndWait();
    if (!m_settingsStored) {
        storeRegisterChoice(m_platform.settings, choiceFromControls());
        m_settingsStored = true;
    }
    event->accept();
}
