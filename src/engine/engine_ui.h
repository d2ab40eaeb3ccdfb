// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// How the engine reaches the user interface without depending on it: the windows provide an
// implementation; tests and batch tools use a quiet one.
class EngineUi {
public:
    virtual ~EngineUi() = default;
    // Lets pending window events run (repaints, an Abort click) inside a long walk.
    virtual void processPendingEvents() = 0;
    // A system-modal error box with an exclamation icon and an OK button.
    virtual void showError(const QString& caption, const QString& text) = 0;
};

class QuietEngineUi : public EngineUi {
public:
    void processPendingEvents() override {}
    void showError(const QString&, const QString&) override {}
};
