// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The register's tables, versioned in schema_version. Opening a register of an older version
// brings it up to date in place, its rows kept; a register written by a newer program is
// refused, never rewritten.
//
//   drawings          one row per drawing file ever indexed: its path as the folder lists it,
//                     size, modification time (ms since 1970 UTC), SHA-256 of the content,
//                     release ($ACADVER), the reason it could not be read (empty when read),
//                     missing (1: gone from disk), indexed_at (ms since 1970 UTC)
//   block_references  the drawing's block references: handle, space (MODEL or PAPER), layout
//                     (the paper-space tab's name, empty in model space), block and effective
//                     name, layer, insertion point x, y, z
//   attributes        each reference's attributes: tag, value, handle
//   indexed_folders   each folder an index run walked to the end ("/data/dwg/", with its
//                     last slash), and when that run ended (ms since 1970 UTC)
//   attribute_values  an FTS5 index of the three-character runs of attributes.value: it
//                     answers value LIKE '%text%' for a text of three characters or more

#include <QString>
#include <memory>

#include "core/result.h"
#include "register/sqlite_connection.h"

namespace reg {

// The version this program writes. 1: without layouts and the full-text index; 2: no indexed
// folders, and the file register's full-text index held words, not three-character runs.
inline constexpr int kSchemaVersion = 3;

// Opens the register at `path`, creating it when missing, in WAL mode, at kSchemaVersion.
core::Result<std::shared_ptr<Connection>> openRegister(const QString& path);

// The version of an open register; 0 for a database that holds no register.
int schemaVersion(Connection& connection);

}  // namespace reg
