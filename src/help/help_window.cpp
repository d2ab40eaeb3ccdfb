// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/help_window.h"

#include <QBoxLayout>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBrowser>

#include "help/help_text.h"
#include "platform/gui/named_widget.h"
#include "platform/line_reader.h"

namespace {

// The help file is a few dozen kilobytes; anything far larger is not it.
constexpr qint64 kMostHelpBytes = 4 * 1024 * 1024;

}  // namespace

HelpWindow::HelpWindow(platform::Platform platform, QString helpPath, QWidget* parent)
    : QDialog(parent), m_platform(platform), m_helpPath(std::move(helpPath)) {
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("Quillon Help"));
    // A window of its own beside the one that opened it, not a box in front of it.
    setWindowFlag(Qt::Window);
    setModal(false);
    createControls();
    load();
}

void HelpWindow::createControls() {
    headingList = platform::named<QListWidget>("headingList", this);
    helpText = platform::named<QTextBrowser>("helpText", this);
    helpText->setOpenLinks(false);
    findEdit = platform::named<QLineEdit>("findEdit", this);
    findEdit->setPlaceholderText(QStringLiteral("Find in help"));
    findEdit->setClearButtonEnabled(true);
    findStatusLabel = platform::named<QLabel>("findStatusLabel", this);
    editorLink = platform::named<QLabel>("editorLink", this);
    editorLink->setText(QStringLiteral("<a href=\"editor\">Open in text editor</a>"));
    editorLink->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    editorLink->setToolTip(m_helpPath);

    connect(headingList, &QListWidget::currentRowChanged, this, [this](int row) {
        const QListWidgetItem* item = headingList->item(row);
        if (item) helpText->scrollToAnchor(item->data(Qt::UserRole).toString());
    });
    connect(findEdit, &QLineEdit::returnPressed, this, &HelpWindow::findNext);
    connect(findEdit, &QLineEdit::textChanged, this, [this] {
        m_matches = 0;
        helpText->setExtraSelections({});
        findStatusLabel->clear();
    });
    connect(editorLink, &QLabel::linkActivated, this, &HelpWindow::openInEditor);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(headingList);
    splitter->addWidget(helpText);
    splitter->setStretchFactor(1, 1);
    auto* findRow = new QHBoxLayout;
    findRow->addWidget(findEdit, 1);
    findRow->addWidget(findStatusLabel);
    findRow->addStretch(1);
    findRow->addWidget(editorLink);
    auto* window = new QVBoxLayout(this);
    window->addLayout(findRow);
    window->addWidget(splitter, 1);

    const QFontMetrics metrics = fontMetrics();
    headingList->setMinimumWidth(metrics.averageCharWidth() * 24);
    QSize size(metrics.averageCharWidth() * 130, metrics.lineSpacing() * 40);
    if (const QScreen* screen = this->screen()) size = size.boundedTo(screen->availableSize());
    resize(size);
}

void HelpWindow::load() {
    QFile file(m_helpPath);
    QString reason;
    QByteArray bytes;
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
    } else if (file.size() > kMostHelpBytes) {
        reason = QStringLiteral("it is larger than a help file can be");
    } else {
        bytes = file.readAll();
    }
    if (!reason.isEmpty()) {
        // The window still opens, saying what is missing, so F1 never seems to do nothing.
        helpText->setPlainText(QStringLiteral("The help file ") + m_helpPath +
                               QStringLiteral(" could not be read: ") + reason + QLatin1Char('.'));
        findEdit->setEnabled(false);
        return;
    }
    const HelpText help = helpTextFrom(platform::decodeText(bytes));
    helpText->document()->setDefaultFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    helpText->setHtml(help.html);
    int widest = 0;
    for (const HelpText::Heading& heading : help.headings) {
        auto* item = new QListWidgetItem(heading.title, headingList);
        item->setData(Qt::UserRole, heading.anchor);
        item->setToolTip(heading.title);
        widest = std::max(widest, headingList->fontMetrics().horizontalAdvance(heading.title));
    }
    // The questions whole where the window allows, the text taking the rest.
    if (auto* splitter = qobject_cast<QSplitter*>(headingList->parentWidget())) {
        const int list = std::min(widest + 4 * headingList->frameWidth() +
                                      headingList->verticalScrollBar()->sizeHint().width(),
                                  width() * 2 / 5);
        splitter->setSizes({list, std::max(1, width() - list)});
    }
}

void HelpWindow::findNext() {
    const QString wanted = findEdit->text();
    if (wanted.isEmpty()) return;
    QTextDocument* document = helpText->document();
    QList<QTextEdit::ExtraSelection> marks;
    QTextCharFormat marked;
    marked.setBackground(QColor(0xFF, 0xE0, 0x80));
    for (QTextCursor at = document->find(wanted); !at.isNull(); at = document->find(wanted, at)) {
        marks.push_back({at, marked});
    }
    m_matches = static_cast<int>(marks.size());
    helpText->setExtraSelections(marks);
    if (marks.isEmpty()) {
        findStatusLabel->setText(QStringLiteral("Not found"));
        return;
    }
    QTextCursor next = document->find(wanted, helpText->textCursor());
    if (next.isNull()) next = marks.front().cursor;  // from the top again
    helpText->setTextCursor(next);
    helpText->ensureCursorVisible();
    findStatusLabel->setText(QString::number(m_matches) + QStringLiteral(" found"));
}

void HelpWindow::openInEditor() {
    if (m_platform.shell.openInTextEditor(m_helpPath)) return;
    m_platform.dialogs.messageBox(
        QStringLiteral("Quillon"),
        QStringLiteral("No text editor could open ") + m_helpPath + QLatin1Char('.'),
        platform::MessageIcon::Exclamation);
}
