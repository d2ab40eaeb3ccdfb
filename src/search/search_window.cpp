// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/search_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "engine/blanks.h"
#include "filespecs/file_spec_prompt.h"
#include "registerwindow/register_choice.h"

namespace {

const QString kCaption = QStringLiteral("Quillon");

// Found lines reach the results box, and the status line is painted, at most this often: a
// run over many small drawings would otherwise spend its time redrawing.
constexpr qint64 kShowInterval = 50;   // ms
constexpr qint64 kPaintInterval = 15;  // ms

// Drawings that could not be opened, named in full on the status line up to this many.
constexpr qsizetype kNamedFailures = 5;

bool endsWithSeparator(const QString& folder) {
#ifdef Q_OS_WIN
    if (folder.endsWith(QLatin1Char('\\'))) return true;
#endif
    return folder.endsWith(QLatin1Char('/'));
}

}  // namespace

// What the search asks of the window while it walks a drawing: pending events (the Abort
// button, closing, repaints), and the lines found so far shown in the results box.
class SearchWindow::RunUi : public EngineUi {
public:
    explicit RunUi(SearchWindow& window) : m_window(window) {}
    void processPendingEvents() override {
        m_window.showFoundLines(false);
        m_window.m_platform.ui.processEvents();
    }
    void showError(const QString& caption, const QString& text) override {
        m_window.m_platform.dialogs.messageBox(caption, text, platform::MessageIcon::Exclamation,
                                               platform::MessageButtons::OK,
                                               platform::DialogButton::None, true);
    }

private:
    SearchWindow& m_window;
};

SearchWindow::SearchWindow(platform::Platform platform, drawingapi::ReaderFactory readerFactory,
                           QString drawingFolder, QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_platform(platform),
      m_readerFactory(std::move(readerFactory)),
      m_drawingFolder(std::move(drawingFolder)) {
    createControls();
    connectHandlers();
    restoreSettings();
}

SearchWindow::~SearchWindow() = default;

void SearchWindow::connectHandlers() {
    connect(searchButton, &QPushButton::clicked, this, &SearchWindow::search);
    connect(abortButton, &QPushButton::clicked, this, &SearchWindow::requestAbort);
    connect(browseButton, &QPushButton::clicked, this, &SearchWindow::browseForFolder);
    connect(saveButton, &QPushButton::clicked, this, &SearchWindow::saveToTextFile);
    connect(clipboardButton, &QPushButton::clicked, this, &SearchWindow::copyToClipboard);
    // Enter in any of the criteria starts the search, as the Search button would.
    for (QLineEdit* edit : {searchTextEdit, blocksEdit, layersEdit, folderEdit, delimiterEdit}) {
        connect(edit, &QLineEdit::returnPressed, this, [this] {
            if (searchButton->isEnabled()) search();
        });
    }
    for (QWidget* control : findChildren<QWidget*>()) control->installEventFilter(this);
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            close();
            return true;
        }
        if (watched == delimiterEdit && key->text() == QLatin1String(" ")) return true;
    } else if (event->type() == QEvent::FocusOut) {
        if (watched == blocksEdit || watched == layersEdit) {
            validateNameList(static_cast<QLineEdit*>(watched));
        } else if (watched == delimiterEdit) {
            validateDelimiter();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SearchWindow::validateNameList(QLineEdit* edit) {
    if (blanks::cut(edit->text()).isEmpty()) edit->setText(QStringLiteral("*"));
}

void SearchWindow::validateDelimiter() {
    if (delimiterEdit->text().isEmpty()) delimiterEdit->setText(QStringLiteral(","));
}

void SearchWindow::closeEvent(QCloseEvent* event) {
    if (m_run) {
        // The run owns the drawing session: it stops at its next check, closes the session,
        // and then closes the window.
        m_closeWhenStopped = true;
        m_run->requestAbort();
        event->ignore();
        return;
    }
    if (!m_settingsStored) {
        storeSettings();
        m_settingsStored = true;
    }
    event->accept();
}

void SearchWindow::refuse(const QString& text, QWidget* focus) {
    m_platform.dialogs.messageBox(kCaption, text, platform::MessageIcon::Exclamation);
    focus->setFocus();
}

SearchCriteria SearchWindow::criteriaFromControls() const {
    SearchCriteria criteria;
    criteria.space = spaceCombo->currentText();
    criteria.blocks = blocksEdit->text();
    criteria.layers = layersEdit->text();
    criteria.text = searchTextEdit->text();
    criteria.matchCase = matchCaseCheck->isChecked();
    criteria.exactPhrase = exactPhraseCheck->isChecked();
    criteria.findTag = findTagCheck->isChecked();
    return criteria;
}

void SearchWindow::showStatus(const QString& text) {
    statusLabel->setText(text);
    if (m_sincePainted.isValid() && m_sincePainted.elapsed() < kPaintInterval) return;
    statusLabel->repaint();
    m_sincePainted.start();
}

void SearchWindow::showFoundLines(bool now) {
    const qint64 total = m_results.isEmpty() ? 0 : m_results.lineCount() + 1;
    if (total == m_shownLines) return;
    if (!now && m_sinceShown.isValid() && m_sinceShown.elapsed() < kShowInterval) return;
    m_sinceShown.start();
    QString added = m_results.shownLines(m_shownLines);
    added.chop(1);  // the box ends without an empty last line
    QTextCursor end(resultsEdit->document());
    end.movePosition(QTextCursor::End);
    if (m_shownLines > 0) end.insertText(QStringLiteral("\n"));
    end.insertText(added);
    m_shownLines = total;
}

void SearchWindow::search() {
    if (m_run) return;  // a click that arrived while a run lets events through
    if (blanks::cut(searchTextEdit->text()).isEmpty()) {
        refuse(QStringLiteral("Enter text phrase to search for."), searchTextEdit);
        return;
    }
    // From the register: the drawings it may find hits in, read from its entries. There an
    // empty folder searches the whole register.
    const bool fromRegister = registerCheck->isChecked();
    const bool wholeRegister = fromRegister && blanks::cut(folderEdit->text()).isEmpty();
    if (!fromRegister && blanks::cut(folderEdit->text()).isEmpty()) {
        refuse(QStringLiteral("Enter folder."), folderEdit);
        return;
    }
    reg::RegisterSearch answer;
    QString registerName;
    if (fromRegister) {
        std::optional<reg::RegisterSearch> prepared = registerSearch(wholeRegister, registerName);
        if (!prepared) return;
        answer = std::move(prepared).value();
    }
    showStatus(QStringLiteral("Starting AutoCAD..."));

    RunUi ui(*this);
    SearchRun run(fromRegister ? answer.reader : m_readerFactory, ui, m_platform.clock);
    m_run = &run;
    platform::Hourglass hourglass(m_platform.ui);
    searchButton->setEnabled(false);
    abortButton->setEnabled(true);
    // Fields would run together without a delimiter.
    validateDelimiter();
    const SearchResults before = m_results;
    // Each line says when its drawing was indexed: the drawing may have changed since.
    m_results.reset(delimiterEdit->text(),
                    fromRegister ? QStringList{QStringLiteral("Indexed")} : QStringList());
    resultsEdit->clear();
    m_shownLines = 0;
    m_sinceShown.invalidate();

    // The engine separates fields by a text no field holds; the results join them with the
    // delimiter chosen here.
    run.setDelimiter(SearchResults::fieldSeparator());
    QStringList failures;
    qsizetype current = -1;
    QStringList indexed;  // when the drawing searched was indexed, from the register
    // The register chose its drawings by the criteria the run starts with: they stay.
    if (fromRegister) run.setCriteria(criteriaFromControls());
    SearchRun::Events events;
    events.searching = [&](const QString& fileName) {
        showFoundLines(true);
        showStatus(QStringLiteral("Searching ") + fileName + QStringLiteral("..."));
        if (fromRegister) {
            indexed = QStringList{
                reg::indexedTimeText(answer.indexedAt.value(answer.drawings.value(++current)))};
        } else {
            // A criterion changed during the run counts from the next drawing on.
            run.setCriteria(criteriaFromControls());
        }
        // The whole register holds drawings of many folders: their names alone would not
        // tell them apart.
        run.setFullPath(fullPathCheck->isChecked() || wholeRegister);
    };
    events.lineFound = [&](const QString& line) { m_results.addFoundLine(line, indexed); };
    events.openFailed = [&](const QString& path, const QString& reason) {
        const QString name = QFileInfo(path).fileName();
        failures << (reason.isEmpty() ? name : name + QStringLiteral(": ") + reason);
    };
    const SearchRun::Totals totals =
        run.run(fromRegister ? answer.drawings : drawingsOf(splitFolderPattern(folderEdit->text())),
                events);
    m_run = nullptr;

    searchButton->setEnabled(true);
    abortButton->setEnabled(false);
    hourglass.release();
    if (!totals.started) {
        m_results = before;
        resultsEdit->setPlainText(m_results.shownLines(0).chopped(m_results.isEmpty() ? 0 : 1));
        m_shownLines = m_results.isEmpty() ? 0 : m_results.lineCount() + 1;
        showStatus(QStringLiteral("Unable to start AutoCAD"));
    } else {
        if (totals.aborted) showStatus(QStringLiteral("Process aborted."));
        showFoundLines(true);
        resultsEdit->verticalScrollBar()->setValue(0);
        QString status = searchTotalsLine(totals.hits, totals.filesWithHits, totals.elapsedSeconds);
        if (!failures.isEmpty()) {
            status += QStringLiteral("\nNot opened: ") +
                      failures.mid(0, kNamedFailures).join(QStringLiteral("; "));
            if (failures.size() > kNamedFailures) {
                status += QStringLiteral("; and %1 more").arg(failures.size() - kNamedFailures);
            }
        }
        if (fromRegister) status += QStringLiteral("\nAnswered from the register ") + registerName;
        m_sincePainted.invalidate();
        showStatus(status);
    }
    if (m_closeWhenStopped) close();
}

std::optional<reg::RegisterSearch> SearchWindow::registerSearch(bool wholeRegister, QString& name) {
    const RegisterChoice choice = loadRegisterChoice(m_platform.settings);
    name = choice.shownName();
    // Searching makes no register: an index run does.
    if (!choice.onServer && !QFileInfo::exists(choice.file)) {
        refuse(QStringLiteral("No register at %1 yet: index its folders with the Register button "
                              "of the main window first.")
                   .arg(choice.file),
               registerCheck);
        return std::nullopt;
    }
    auto opened = reg::openRegisterDatabase(choice.address());
    if (!opened) {
        refuse(opened.error().description, registerCheck);
        return std::nullopt;
    }
    auto prepared = reg::prepareRegisterSearch(
        *opened.value(), criteriaFromControls(),
        wholeRegister ? std::nullopt : std::optional(splitFolderPattern(folderEdit->text())));
    if (!prepared) {
        refuse(prepared.error().description, registerCheck);
        return std::nullopt;
    }
    return std::move(prepared).value();
}

void SearchWindow::requestAbort() {
    if (m_run) m_run->requestAbort();
}

void SearchWindow::browseForFolder() {
    const QString typed = folderEdit->text();
    const QString start = typed.isEmpty() ? drawingFolder() : saveFolderOf(typed);
    const QString chosen = m_platform.dialogs.pickFolder(
        {QStringLiteral("Choose the folder of the DWG or DXF drawings"), start});
    if (chosen.isEmpty()) return;
    setDrawingFolder(chosen);
    const QString folder = endsWithSeparator(chosen) ? chosen : chosen + QLatin1Char('/');
    const std::optional<QString> answer = m_platform.dialogs.inputBox(
        fileSpecificationPrompt(), QStringLiteral("Add File Specification"),
        folder + QStringLiteral("*.dwg"));
    // Cancelling the box empties the pattern, as an empty answer does.
    folderEdit->setText(blanks::cut(answer.value_or(QString())));
}
