// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <optional>

#include "platform/services/platform.h"
#include "update/update_source.h"
#include "writeback/update_plan.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class PlanTableModel;

// The "Update drawings" window: edited values read from a text file, a workbook sheet or a
// database table are planned against the drawings they name and shown, value by value, before
// anything is written; Apply then writes each drawing whole or not at all, keeps the previous
// file as NAME.bak and names the undo file that takes the values back. Settings live in section
// "Update". Its controls are found by their object names, which are the names below.
class UpdateWindow : public QWidget {
    Q_OBJECT
public:
    // `folders`: where Browse starts for each kind of source while no source is chosen.
    UpdateWindow(platform::Platform platform, SourceFolders folders, QWidget* parent = nullptr);
    ~UpdateWindow() override;

    // What the buttons do.
    void plan();
    void apply();
    void requestCancel();
    void browseForSource();
    void browseForFolder();

    bool isApplying() const { return m_applying; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    void connectHandlers();
    void restoreSettings();
    void storeSettings();

    SourceKind kind() const;
    UpdateSource sourceFromControls() const;
    writeback::UpdateOptions optionsFromControls(const QString& source) const;
    void kindChanged();
    void listSheetsOrTables();
    void showPlan(std::optional<writeback::UpdatePlan> plan);
    void showProblemsOnly(bool only);
    void showStatus(const QString& text);
    void setBusy(bool busy);

    QLabel* kindLabel;
    QComboBox* kindCombo;
    QLabel* sourceLabel;
    QLineEdit* sourceEdit;
    QPushButton* browseSourceButton;
    QLabel* sheetLabel;
    QComboBox* sheetCombo;
    QLabel* folderLabel;
    QLineEdit* folderEdit;
    QPushButton* browseFolderButton;
    QLabel* blocksLabel;
    QLineEdit* blocksEdit;
    QCheckBox* backupCheck;
    QPushButton* planButton;
    QPushButton* applyButton;
    QPushButton* cancelButton;
    QPushButton* closeButton;
    QTableView* planView;
    PlanTableModel* planModel;
    QSortFilterProxyModel* planFilter;
    QCheckBox* problemsOnlyCheck;
    QLabel* summaryLabel;
    QProgressBar* progressBar;
    QLabel* statusLabel;

    platform::Platform m_platform;
    SourceFolders m_folders;
    // The plan shown, and the source and options it was made from: Apply writes this plan.
    std::optional<writeback::UpdatePlan> m_plan;
    UpdateSource m_plannedSource;
    writeback::UpdateOptions m_plannedOptions;
    bool m_planApplied = false;
    bool m_applying = false;
    bool m_cancelRequested = false;
    bool m_closeWhenStopped = false;
    bool m_settingsStored = false;
};
