// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which register the user works with, and the folders it keeps, as the settings hold them
// (section "Register"): the register window chooses, the search window searches the same one.

#include <QStringList>

#include "platform/services/settings.h"
#include "register/register_database.h"

struct RegisterChoice {
    bool onServer = false;
    QString file;    // the SQLite register file
    QString server;  // a PostgreSQL conninfo
    QStringList folders;

    reg::RegisterAddress address() const {
        reg::RegisterAddress where;
        if (onServer) {
            where.server = server;
        } else {
            where.database = file;
        }
        return where;
    }
    // The register as a user may read its name: no password.
    QString shownName() const { return onServer ? reg::printableConninfo(server) : file; }
};

// The register quillon-index finds without being told: one per user, in the data folder the
// programs share.
QString defaultRegisterFile();

RegisterChoice loadRegisterChoice(const platform::Settings& settings);
void storeRegisterChoice(platform::Settings& settings, const RegisterChoice& choice);
