// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The writes of an index run into a PostgreSQL register.
//
// Several indexers may store the same drawing at the same moment. Each drawing is one
// transaction: its row is upserted by path (INSERT ... ON CONFLICT), which locks it, and its
// references are replaced while that lock is held, so the last indexer's reading wins whole and
// none is stored twice. A transaction never holds two drawings' locks, so two indexers walking
// overlapping folders in different orders cannot deadlock; without a sync per commit
// (synchronous_commit off) a commit per drawing costs little, and a server crash loses at most
// the last commits, which the next run stores again.
//
// A drawing costs four round trips to the server whatever it holds: BEGIN, the upsert (which
// also takes the ids of its references), its references and attributes in one statement, and
// COMMIT; a drawing stored before also has its old rows deleted.

#include <memory>

#include "register/register_database.h"
#include "register/server/pg_connection.h"

namespace reg {

std::unique_ptr<RegisterStore> makePostgresStore(pg::Connection& connection);

}  // namespace reg
