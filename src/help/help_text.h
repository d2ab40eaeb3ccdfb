// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The help file as the help window shows it: its questions as headings to jump to, and the
// text as a page with those headings marked.
struct HelpText {
    struct Heading {
        QString title;   // "1. WHAT DOES QUILLON DO?"
        QString anchor;  // the page's anchor of the heading
    };
    QList<Heading> headings;
    QString html;  // the page: each heading a header, the rest as written, with its indents
};

// A heading is a line underlined by a line of '-' or '=' at least half its length, as the help
// file writes them. The text is escaped: nothing in it is taken as markup.
HelpText helpTextFrom(const QString& text);
