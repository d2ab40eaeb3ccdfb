// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What each column of an edit table means, told from its header alone.

#include <vector>

#include "writeback/edit_table.h"

namespace writeback {

enum class EditLayout {
    // DRAWING_NAME, BLOCK_HANDLE, tags: each row sets the attributes of one block reference.
    // This is what an extraction with a drawing name, BLOCK_HANDLE and tags writes.
    ByReference,
    // DRAWING_NAME, optionally a space (BLOCK_SPACE or SPACE), tags; no handle: a register,
    // whose each row sets the attributes of every reference in that drawing that has the tag.
    ByDrawing,
};

// Column indexes into the table's header; -1 for a column it does not have.
struct EditColumns {
    EditLayout layout = EditLayout::ByDrawing;
    int drawing = -1;  // DRAWING_NAME: a drawing's name, or its full path
    int handle = -1;   // BLOCK_HANDLE
    int space = -1;    // BLOCK_SPACE or SPACE: MODEL or PAPER
    int blockName = -1;
    int effectiveName = -1;  // BLOCK_EFFECTIVENAME
    std::vector<int> tags;   // the tag columns, in header order
    QStringList tagNames;    // their names, blanks cut, letter case as written
    // Which attribute of its block each tag column addresses: 0 for the first attribute with
    // that tag, 1 for the second, ...
    std::vector<int> tagOccurrences;
};

// The columns of `table`, or why its header cannot be written back.
//
// A header name is compared with blanks cut and letter case ignored. The names an extraction
// writes that are not tags (DRAWING_NAME, TIMESTAMP and every BLOCK_ field) are never taken as
// tags; every other named column is a tag. A column without a name must be empty.
//
// A tag named twice: an extraction of all tags writes every attribute of a block under its own
// tag, in the block's order, so a block with two REV attributes gives two REV columns. In the
// by-reference layout the n-th column named REV therefore addresses the n-th REV attribute of
// its block. A register is written by hand, one column per tag: a tag named twice there is
// refused, as is any other name given twice.
core::Result<EditColumns> editColumns(const EditTable& table);

}  // namespace writeback
