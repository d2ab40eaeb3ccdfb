// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <atomic>
#include <functional>
#include <thread>

#include "platform/services/platform.h"
#include "register/index_run.h"
#include "registerwindow/register_choice.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTreeWidget;

// The drawing register: which one (a file, or a PostgreSQL database), the folders it keeps with
// what it holds of each, and an index run over them on a thread of its own, so the window
// answers while the drawings are read. Settings live in section "Register", stored when the
// window closes.
class RegisterWindow : public QWidget {
    Q_OBJECT
public:
    // `tuneRun` may change an index run's options before it starts (jobs, the reader).
    explicit RegisterWindow(platform::Platform platform,
                            std::function<void(reg::IndexOptions&)> tuneRun = {},
                            QWidget* parent = nullptr);
    ~RegisterWindow() override;

    // What the buttons do.
    void browseForFile();
    void addFolder();
    void removeFolder();
    void startIndex();
    void cancelIndex();
    // Reads again what the register holds of each folder.
    void refreshFolders();

    bool isIndexing() const { return m_worker.joinable(); }

public:
    QRadioButton* fileOption;
    QLineEdit* fileEdit;
    QPushButton* browseButton;
    QRadioButton* serverOption;
    QLineEdit* serverEdit;
    QTreeWidget* folderList;
    QPushButton* addFolderButton;
    QPushButton* removeFolderButton;
    QPushButton* indexButton;
    QPushButton* cancelButton;
    QProgressBar* progressBar;
    QLabel* summaryLabel;
    QLabel* statusLabel;
    QPushButton* closeButton;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createControls();
    void fitStatusLine();
    void connectHandlers();
    RegisterChoice choiceFromControls() const;
    void showChoice(const RegisterChoice& choice);
    void showError(const QString& text);
    void showProgress();
    void indexFinished(const reg::IndexSummary& summary);
    void setRunning(bool running);
    void stopAndWait();

    platform::Platform m_platform;
    std::function<void(reg::IndexOptions&)> m_tuneRun;
    QStringList m_folders;
    bool m_settingsStored = false;

    // The run's thread and what it shares with this one: the cancel flag, and the latest
    // progress, posted to this thread at most once until it is shown.
    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    std::atomic<qint64> m_done{0};
    std::atomic<qint64> m_total{0};
    std::atomic<bool> m_progressPosted{false};
};
