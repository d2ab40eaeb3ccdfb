// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

// Starts other programs for the user. None of these waits for the program; each returns false
// when nothing could be started.
class Shell {
public:
    virtual ~Shell() = default;

    // The desktop's text editor (its default program for plain text), whatever the file's name.
    virtual bool openInTextEditor(const QString& path) = 0;
    // The program associated with the document's type.
    virtual bool openDocument(const QString& path) = 0;
    // The default web browser.
    virtual bool openUrl(const QString& url) = 0;
};

}  // namespace platform
