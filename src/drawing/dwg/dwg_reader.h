// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading a DWG file (AutoCAD R13 to 2018 and later releases of the same formats; R2.10 to
// R12 in r12_reader.h) into the reader's model: the same block references and attributes the
// DXF reader finds in the DXF form of the drawing.
//
// What is read: the file header (code page, where the sections lie; from R2004 the sections
// are paged and compressed, see sections.h), the object map, the classes (for LAYOUT's type
// number), the BLOCK_CONTROL object and the block definitions it lists, the entities
// of model space and of each paper-space block (R13 to R2000: the entity chain; later: the
// block's list of owned entities), the INSERTs and MINSERTs among them, their ATTRIBs (up to
// R2000: linked from the reference's first and last attribute; later: its owned list), and
// the LAYER, LTYPE, BLOCK_HEADER and LAYOUT objects those refer to. Every other object is
// never opened; the header variables section is not needed. Layouts are ordered by their
// LAYOUT object's tab order; a paper-space block whose LAYOUT cannot be read goes after the
// others (the active one first among those), as in the DXF reader.

#include <QString>
#include <string_view>

#include "drawing/drawing_model.h"

namespace drawing::dwg {

struct DwgOptions {
    // Off only for fuzzing, so mutated inputs reach the object parsers: the check values
    // then let nothing corrupt through.
    bool verifyCheckValues = true;
};

// Whether the release string a file starts with ("AC1032") is one this reader reads.
bool isReadableRelease(std::string_view head);

// The AutoCAD release a DWG release string stands for ("AutoCAD 2.5" for "AC1002"); empty
// for a string no AutoCAD release wrote.
QString releaseName(std::string_view head);

// Fills `drawing` from the whole file `file`; returns why it cannot, or an empty string.
QString readDwg(std::string_view file, Drawing& drawing, const DwgOptions& options = {});

}  // namespace drawing::dwg
