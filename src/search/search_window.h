// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <optional>

#include "engine/attribute_search.h"
#include "platform/services/platform.h"
#include "register/register_search.h"
#include "search/results_saving.h"
#include "search/search_results.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The search window: finds the block attributes whose value (or tag) contains a text, across
// the drawings of one folder pattern, with its own drawing session; shows the result
// lines as they are found and saves or copies them. With "Search the register", the register
// the register window chose answers instead of the drawings, and each line says when its
// drawing was indexed. Settings live in section "Options".
class SearchWindow : public QWidget {
    Q_OBJECT
public:
    // `drawingFolder` is the shared drawing folder, where the folder picker starts; a folder
    // chosen there becomes the shared one (drawingFolderChosen), kept in memory: the file
    // specification list stores it. The settings are applied here; they are stored when the
    // window closes.
    SearchWindow(platform::Platform platform, drawingapi::ReaderFactory readerFactory,
                 QString drawingFolder, QWidget* parent = nullptr);
    ~SearchWindow() override;

    // What the buttons do.
    void search();
    void requestAbort();
    void browseForFolder();
    void saveToTextFile();
    void copyToClipboard();

    bool isSearching() const { return m_run != nullptr; }
    // The results as saved without criteria: the header and result lines, each ending in
    // CR LF; empty when the last run found nothing.
    QString resultsText() const { return m_results.text(); }
    // The folder the next Save As box starts in.
    QString saveFolder() const { return m_saveFolder; }

signals:
    void drawingFolderChosen(const QString& folder);

public:
    QGroupBox* criteriaFrame;
    QLabel* spaceLabel;
    QComboBox* spaceCombo;
    QLabel* blocksLabel;
    QLineEdit* blocksEdit;
    QLabel* layersLabel;
    QLineEdit* layersEdit;
    QLabel* searchTextLabel;
    QLineEdit* searchTextEdit;
    QLabel* folderLabel;
    QLineEdit* folderEdit;
    QPushButton* browseButton;
    QCheckBox* registerCheck;
    QCheckBox* matchCaseCheck;
    QCheckBox* exactPhraseCheck;
    QCheckBox* findTagCheck;
    QCheckBox* fullPathCheck;
    QLabel* delimiterLabel;
    QLineEdit* delimiterEdit;
    QPushButton* searchButton;
    QPushButton* abortButton;
    QGroupBox* resultsFrame;
    QPlainTextEdit* resultsEdit;
    QPushButton* saveButton;
    QPushButton* clipboardButton;
    QCheckBox* includeCriteriaCheck;
    QCheckBox* csvCheck;
    QLabel* statusLabel;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Sees the keys before the controls do (Escape closes the window, a blank is no
    // delimiter) and checks the name lists and the delimiter as the focus leaves them.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class RunUi;

    void createControls();
    void connectHandlers();
    void restoreSettings();
    void storeSettings();
    QString drawingFolder() const { return m_drawingFolder; }
    void setDrawingFolder(const QString& folder);

    SearchCriteria criteriaFromControls() const;
    ShownCriteria shownCriteria() const;
    QString resultsWithCriteria(const QString& results) const;
    // The register chosen in the register window, asked for the drawings of the folder
    // specification that may hold hits; nullopt when it could not answer (the user is told).
    // `name` is the register as it may be shown.
    // wholeRegister: every drawing the register holds, not those of the folder specification.
    std::optional<reg::RegisterSearch> registerSearch(bool wholeRegister, QString& name);
    void showStatus(const QString& text);
    // Puts the lines found since the last call into the results box; at most every few
    // milliseconds unless `now`.
    void showFoundLines(bool now);
    void refuse(const QString& text, QWidget* focus);
    void validateNameList(QLineEdit* edit);
    void validateDelimiter();

    platform::Platform m_platform;
    drawingapi::ReaderFactory m_readerFactory;
    QString m_drawingFolder;
    QString m_saveFolder;
    SearchResults m_results;
    qint64 m_shownLines = 0;  // lines of m_results already in the results box (header: 1)
    QElapsedTimer m_sinceShown;
    QElapsedTimer m_sincePainted;
    SearchRun* m_run = nullptr;  // the run going on, owned by search()
    bool m_closeWhenStopped = false;
    bool m_settingsStored = false;
};
