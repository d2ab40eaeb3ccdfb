// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextStream>

#include "engine/extraction_run.h"

// What a run asks of the user interface, on a terminal: errors and the lines the program chooses
// to print go to standard error; the status line of the window has no place here.
class ConsoleRunUi : public ExtractionRunUi {
public:
    void processPendingEvents() override {}
    void showError(const QString& caption, const QString& text) override {
        m_err << caption << ": " << text << Qt::endl;
    }
    void setStatus(const QString&) override {}
    void setBusy(bool) override {}
    void printStatus(const QString& text) { m_err << text << Qt::endl; }

private:
    QTextStream m_err{stderr};
};
