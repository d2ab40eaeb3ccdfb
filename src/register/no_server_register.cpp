// SPDX-License-Identifier: GPL-3.0-or-later
// A Quillon built without the PostgreSQL client library: registers are files only.

#ifndef QUILLON_WITH_POSTGRESQL

#include "register/register_database.h"

namespace reg {

bool serverRegistersAvailable() {
    return false;
}

core::Result<std::unique_ptr<RegisterDatabase>> openServerRegister(const QString&) {
    return core::Error{2, QStringLiteral("This Quillon was built without PostgreSQL: --server"
                                         " is not available. Use a register file (--database).")};
}

}  // namespace reg

#endif
