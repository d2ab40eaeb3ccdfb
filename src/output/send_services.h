// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "office/office.h"
#include "platform/services/clipboard.h"
#include "platform/services/dialogs.h"
#include "platform/services/shell.h"
#include "platform/services/ui.h"

namespace output {

// What the senders reach besides their destination's file: message boxes (never during a
// drawing list's send, except an error box), the beep and pending events, the desktop's
// program for a finished workbook, the clipboard and the office components.
struct SendServices {
    platform::Dialogs& dialogs;
    platform::Ui& ui;
    platform::Shell& shell;
    platform::Clipboard& clipboard;
    const office::Office& office;
};

// The error box of an office component's failure: its number and description.
void showErrorBox(platform::Dialogs& dialogs, const office::Error& error);

// A program that could not be reached: the error box, a beep and, unless a drawing list is
// sending, the message that says which program.
void reportLinkFailure(SendServices& services, const office::Error& error, const QString& program,
                       bool fromList);

// The status line of a send that reached `file` ("Data sent to /work/parts.xlsx, sheet Parts."),
// or `program` ("the spreadsheet") when it has no file yet: `part` names its sheet or table,
// with `partKind` ("sheet", "table"); empty: none.
QString sentTo(const QString& program, const QString& file, const QString& partKind = {},
               const QString& part = {});

// A status line for a send that wrote nothing, ending with one full stop.
QString notSent(const QString& program, QString reason);

}  // namespace output
