// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "platform/services/platform.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QTextBrowser;

// The help file in a window: its questions in a list to jump to, the text with its headings,
// a find box that marks every match and steps through them, and a link that opens the file in
// the desktop's text editor.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    HelpWindow(platform::Platform platform, QString helpPath, QWidget* parent = nullptr);

    // Marks every occurrence of the find box's text (ignoring letter case) and goes to the
    // next one after the cursor, from the top again after the last.
    void findNext();
    void openInEditor();
    // How many places the last find marked.
    int matchCount() const { return m_matches; }

    QListWidget* headingList;
    QTextBrowser* helpText;
    QLineEdit* findEdit;
    QLabel* findStatusLabel;
    QLabel* editorLink;

private:
    void createControls();
    void load();

    platform::Platform m_platform;
    QString m_helpPath;
    int m_matches = 0;
};
