// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The attribute search answered from the register instead of the drawings: the register gives
// the attributes that may match, and the search engine reads them through a drawing reader of
// its own, so its rules (letter case, whole value, tag, block and layer lists, space) and its
// result lines are those of a folder search by construction.

#include <QHash>
#include <QStringList>
#include <optional>

#include "engine/attribute_search.h"
#include "register/register_database.h"

namespace reg {

struct RegisterSearch {
    // The drawings to search, in the order a folder search takes them: named as the folder
    // search names them (the folder as given, then the file name), or by their register path
    // when the whole register is searched.
    QStringList drawings;
    // When each drawing's entry was stored (ms since 1970 UTC), by the name above.
    QHash<QString, qint64> indexedAt;
    drawingapi::ReaderFactory reader;
};

// The drawings of `where` (the whole register when not given) that may hold hits, with the
// register's content. Drawings the register could not read are among them: the search reports
// them as a folder search reports a drawing it cannot open.
core::Result<RegisterSearch> prepareRegisterSearch(RegisterDatabase& database,
                                                   const SearchCriteria& criteria,
                                                   const std::optional<FolderPattern>& where);

// When a drawing's entry was stored, as a result line shows it: UTC, to the second
// ("2026-03-01T09:30:00Z").
QString indexedTimeText(qint64 msSinceEpoch);

// How the register narrows its rows for `criteria`: a superset of the search's hits.
EntryQuery entryQueryFor(const SearchCriteria& criteria);

}  // namespace reg
