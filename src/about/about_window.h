// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "platform/services/platform.h"

class LinkLabel;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The maker's addresses the about window links to. An empty address shows no link.
struct AboutLinks {
    QString email;
    QString homepage;

    static AboutLinks fromBuild();
};

// The program's name, version, licence and what it does, with links to write to the maker,
// open the maker's web page and read the FAQ.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    // `programFolder` holds faq.fil.
    AboutWindow(platform::Platform platform, QString programFolder,
                AboutLinks links = AboutLinks::fromBuild(), QWidget* parent = nullptr);

    // The text the window shows, lines ended with CR LF; the first line is the title and the
    // version as major.minor.
    static QString aboutText(int major, int minor, const QString& email);

    void sendEmail();
    void openWebPage();
    void openFaq();

    QPlainTextEdit* aboutTextBox;
    QLabel* pictureLabel;
    LinkLabel* emailLink;
    LinkLabel* webPageLink;
    LinkLabel* faqLink;
    QLabel* statusLabel;
    QPushButton* okButton;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    QString faqPath() const;
    void openInBrowser(const QString& url);

    platform::Platform m_platform;
    QString m_programFolder;
    AboutLinks m_links;
};
