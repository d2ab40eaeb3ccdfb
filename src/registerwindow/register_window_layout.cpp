// SPDX-License-Identifier: GPL-3.0-or-later
// The register window's controls: the register chosen above, its folders in the middle, the
// index run and its outcome at the foot. Layouts size everything, so each caption fits.

#include <QBoxLayout>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "platform/gui/named_widget.h"
#include "registerwindow/register_window.h"

using platform::named;

void RegisterWindow::fitStatusLine() {
    // Two lines at the least: a reason often takes a second one, and a window at its smallest
    // size has no height to give a wrapped line.
    statusLabel->setMinimumHeight(QFontMetrics(font()).lineSpacing() * 2);
}

void RegisterWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) fitStatusLine();
    QWidget::changeEvent(event);
}

void RegisterWindow::createControls() {
    setWindowTitle(QStringLiteral("Quillon - Drawing Register"));

    auto* registerFrame = named<QGroupBox>("registerFrame", QStringLiteral("Register"));
    fileOption = named<QRadioButton>("fileOption", QStringLiteral("File"));
    fileEdit = named<QLineEdit>("fileEdit");
    browseButton = named<QPushButton>("browseButton", QStringLiteral("&Browse..."));
    serverOption = named<QRadioButton>("serverOption", QStringLiteral("PostgreSQL server"));
    serverEdit = named<QLineEdit>("serverEdit");
    serverEdit->setPlaceholderText(QStringLiteral("host=db.example.com dbname=drawings"));
    if (!reg::serverRegistersAvailable())
        serverOption->setToolTip(QStringLiteral("This Quillon was built without PostgreSQL."));

    auto* foldersFrame = named<QGroupBox>("foldersFrame", QStringLiteral("Folders"));
    folderList = named<QTreeWidget>("folderList");
    folderList->setHeaderLabels({QStringLiteral("Folder"), QStringLiteral("Drawings"),
                                 QStringLiteral("Missing"), QStringLiteral("Last indexed")});
    folderList->setRootIsDecorated(false);
    folderList->setUniformRowHeights(true);
    folderList->header()->setStretchLastSection(false);
    folderList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < 4; ++column)
        folderList->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    folderList->setMinimumHeight(folderList->fontMetrics().lineSpacing() * 6);
    addFolderButton = named<QPushButton>("addFolderButton", QStringLiteral("&Add Folder..."));
    removeFolderButton = named<QPushButton>("removeFolderButton", QStringLiteral("&Remove Folder"));

    indexButton = named<QPushButton>("indexButton", QStringLiteral("&Index Now"));
    cancelButton = named<QPushButton>("cancelButton", QStringLiteral("&Cancel"));
    progressBar = named<QProgressBar>("progressBar");
    progressBar->setTextVisible(true);
    progressBar->setRange(0, 1);
    progressBar->setValue(0);
    progressBar->setFormat(QString());
    summaryLabel = named<QLabel>("summaryLabel");
    summaryLabel->setWordWrap(true);
    summaryLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusLabel = named<QLabel>("statusLabel");
    statusLabel->setWordWrap(true);
    statusLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    fitStatusLine();
    closeButton = named<QPushButton>("closeButton", QStringLiteral("C&lose"));

    auto* where = new QGridLayout(registerFrame);
    where->addWidget(fileOption, 0, 0);
    where->addWidget(fileEdit, 0, 1);
    where->addWidget(browseButton, 0, 2);
    where->addWidget(serverOption, 1, 0);
    where->addWidget(serverEdit, 1, 1, 1, 2);
    where->setColumnStretch(1, 1);

    auto* folderButtons = new QHBoxLayout;
    folderButtons->addWidget(addFolderButton);
    folderButtons->addWidget(removeFolderButton);
    folderButtons->addStretch(1);
    auto* folders = new QVBoxLayout(foldersFrame);
    folders->addWidget(folderList, 1);
    folders->addLayout(folderButtons);

    auto* run = new QHBoxLayout;
    run->addWidget(indexButton);
    run->addWidget(cancelButton);
    run->addWidget(progressBar, 1);

    auto* foot = new QHBoxLayout;
    foot->addWidget(statusLabel, 1);
    foot->addWidget(closeButton, 0, Qt::AlignBottom);

    auto* window = new QVBoxLayout(this);
    window->addWidget(registerFrame);
    window->addWidget(foldersFrame, 1);
    window->addLayout(run);
    window->addWidget(summaryLabel);
    window->addLayout(foot);

    // The folder column shows a long path whole at the window's opening size.
    resize(fontMetrics().averageCharWidth() * 100, sizeHint().height());
}
