// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/about_window.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

#include "about/build_info.h"
#include "about/link_label.h"
#include "help/open_help_window.h"
#include "platform/paths.h"

namespace {

const QString kTitle = QStringLiteral("Quillon");
const QColor kDarkBlue(0x00, 0x00, 0x80);
const QColor kLightGrey(0xD0, 0xD0, 0xD0);

// The window's picture: the program's initial on the about text's colours.
QPixmap picture() {
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(kDarkBlue);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(pixmap.rect().adjusted(2, 2, -2, -2), 10, 10);
    QFont letter(QStringLiteral("Serif"));
    letter.setPixelSize(44);
    letter.setBold(true);
    painter.setFont(letter);
    painter.setPen(kLightGrey);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("Q"));
    return pixmap;
}

}  // namespace

AboutLinks AboutLinks::fromBuild() {
    return {about::contactEmail(), about::homepage()};
}

AboutWindow::AboutWindow(platform::Platform platform, QString programFolder, AboutLinks links,
                         QWidget* parent)
    : QDialog(parent),
      m_platform(platform),
      m_programFolder(std::move(programFolder)),
      m_links(std::move(links)) {
    createControls();
    aboutTextBox->setPlainText(
        aboutText(about::versionMajor(), about::versionMinor(), m_links.email));
}

QString AboutWindow::aboutText(int major, int minor, const QString& email) {
    const QString crlf = QStringLiteral("\r\n");
    const QString invitation =
        email.isEmpty() ? QStringLiteral("Questions and ideas for enhancements are always welcome.")
                        : QStringLiteral(
                              "Questions and ideas for enhancements are always welcome: send "
                              "an e-mail to ") +
                              email + QLatin1Char('.');
    return kTitle + QLatin1Char(' ') + QString::number(major) + QLatin1Char('.') +
           QString::number(minor) + crlf + crlf +
           QStringLiteral("Copyright (C) the Quillon authors.") + crlf +
           QStringLiteral(
               "Free software under the GNU General Public License, version 3 or "
               "later (GPL-3.0-or-later); it comes with no warranty.") +
           crlf + crlf + kTitle +
           QStringLiteral(
               " is the ultimate tool for extracting block attribute values from DWG "
               "and DXF drawing files! Send the results to your choice of either a "
               "text file, the Clipboard, an .xlsx spreadsheet, an SQLite database "
               "or a .docx document. ") +
           kTitle +
           QStringLiteral(
               " reads DWG drawings of AutoCAD R2.10, R2.6, R9 to R14 and 2000 to 2018 "
               "(R2.2 and R2.5 are not read) and DXF drawings of R12 and above, without a "
               "CAD program.") +
           crlf + crlf + invitation;
}

void AboutWindow::createControls() {
    setObjectName(QStringLiteral("aboutWindow"));
    setWindowTitle(QString());

    aboutTextBox = new QPlainTextEdit(this);
    aboutTextBox->setObjectName(QStringLiteral("aboutTextBox"));
    aboutTextBox->setReadOnly(true);
    aboutTextBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    aboutTextBox->setFont(QFont(QStringLiteral("Arial")));
    QPalette colours = aboutTextBox->palette();
    colours.setColor(QPalette::Base, kDarkBlue);
    colours.setColor(QPalette::Text, kLightGrey);
    aboutTextBox->setPalette(colours);

    pictureLabel = new QLabel(this);
    pictureLabel->setObjectName(QStringLiteral("pictureLabel"));
    pictureLabel->setPixmap(picture());
    pictureLabel->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    emailLink = new LinkLabel(QStringLiteral("Email"), this);
    emailLink->setObjectName(QStringLiteral("emailLink"));
    webPageLink = new LinkLabel(QStringLiteral("Web Page"), this);
    webPageLink->setObjectName(QStringLiteral("webPageLink"));
    faqLink = new LinkLabel(QStringLiteral("Open FAQ file"), this);
    faqLink->setObjectName(QStringLiteral("faqLink"));
    emailLink->setVisible(!m_links.email.isEmpty());
    webPageLink->setVisible(!m_links.homepage.isEmpty());

    statusLabel = new QLabel(this);
    statusLabel->setObjectName(QStringLiteral("statusLabel"));
    statusLabel->setWordWrap(true);
    statusLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    okButton = new QPushButton(QStringLiteral("&OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setDefault(true);

    auto* links = new QHBoxLayout;
    links->addWidget(emailLink);
    links->addWidget(webPageLink);
    links->addWidget(faqLink);
    links->addStretch();
    links->addWidget(okButton);
    auto* top = new QHBoxLayout;
    top->addWidget(pictureLabel);
    top->addWidget(aboutTextBox, 1);
    auto* main = new QVBoxLayout(this);
    main->addLayout(top, 1);
    main->addLayout(links);
    main->addWidget(statusLabel);
    resize(QSize(560, 320).expandedTo(sizeHint()));

    connect(emailLink, &LinkLabel::clicked, this, &AboutWindow::sendEmail);
    connect(webPageLink, &LinkLabel::clicked, this, &AboutWindow::openWebPage);
    connect(faqLink, &LinkLabel::clicked, this, &AboutWindow::openFaq);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
}

QString AboutWindow::faqPath() const {
    return platform::joinPath(m_programFolder, "faq.fil");
}

// The desktop's own browser and mail program: no file has to be written to find them.
void AboutWindow::openInBrowser(const QString& url) {
    if (m_platform.shell.openUrl(url)) return;
    m_platform.dialogs.messageBox(kTitle, QStringLiteral("Could not find associated browser."),
                                  platform::MessageIcon::Exclamation);
}

void AboutWindow::sendEmail() {
    statusLabel->setText(QStringLiteral("Send e-mail message to: ") + m_links.email);
    openInBrowser(QStringLiteral("mailto:") + m_links.email);
}

void AboutWindow::openWebPage() {
    statusLabel->setText(QStringLiteral("Go to page: ") + m_links.homepage);
    openInBrowser(m_links.homepage);
}

void AboutWindow::openFaq() {
    statusLabel->setText(QStringLiteral("Open file: ") + faqPath());
    if (m_platform.shell.openInTextEditor(faqPath())) return;
    m_platform.dialogs.messageBox(
        kTitle, QStringLiteral("No text editor could open ") + faqPath() + QLatin1Char('.'),
        platform::MessageIcon::Exclamation);
}

void AboutWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        showHelpWindow(m_platform, m_programFolder, this);
        return;
    }
    QDialog::keyPressEvent(event);  // Esc closes the window
}
