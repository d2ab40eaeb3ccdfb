// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <optional>

#include "filespecs/file_spec_choice.h"
#include "platform/services/platform.h"

class QLabel;
class QListWidget;
class QPushButton;

// The saved list of drawing file patterns (a folder and a wildcard, or a bare wildcard).
// The user adds, edits and deletes entries and picks one for the main window's drawing
// selection. The list lives in the settings, section "FSpec", keys Dir0, Dir1, ...; it is
// written back on closing only when it was changed.
class FileSpecWindow : public QDialog {
    Q_OBJECT
public:
    // What Select hands to the main window.
    using Choice = FileSpecChoice;

    // `programFolder` holds faq.fil; `drawingFolder` is the shared drawing folder, where Add
    // starts looking.
    FileSpecWindow(platform::Platform platform, QString programFolder, QString drawingFolder,
                   QWidget* parent = nullptr);

    // The shared drawing folder, as Add last chose it.
    QString drawingFolder() const { return m_drawingFolder; }
    // The pattern chosen with Select; nothing when the window was closed otherwise.
    const std::optional<Choice>& choice() const { return m_choice; }
    bool listChanged() const { return m_changed; }
    QStringList patterns() const;

    void addPattern();
    void editPattern();
    void deletePattern();
    void selectPattern();

    // Splits a pattern at its last separator when it starts at a file-system root;
    // otherwise the whole text is the pattern.
    static Choice splitPattern(const QString& pattern);

    QListWidget* specList;
    QLabel* totalLabel;
    QPushButton* addButton;
    QPushButton* editButton;
    QPushButton* deleteButton;
    QPushButton* selectButton;
    QPushButton* closeButton;

    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    void loadList();
    void storeList();
    void showCount();
    void updateButtons();

    platform::Platform m_platform;
    QString m_programFolder;
    QString m_drawingFolder;
    std::optional<Choice> m_choice;
    bool m_changed = false;
    bool m_stored = false;
};
