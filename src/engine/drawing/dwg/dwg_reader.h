#pragma once

// Reading a DWG file of release AC1015 (R2000) into the reader's model: the same block
// references and attributes the DXF reader finds in the DXF form of the drawing.
//
// What is read: the file header (code page, section locators), the object map, the classes
// (for LAYOUT's type number), the BLOCK_CONTROL object and the block definitions it lists,
// the entity chains of model space and of each paper-space block, the INSERTs and MINSERTs
// in them, their ATTRIBs (linked from the reference's first and last attribute), and the
// LAYER, LTYPE, BLOCK_HEADER and LAYOUT objects those refer to. Every other object is never
// opened; the header variables section is not needed. Layouts are ordered by their LAYOUT
// object's tab order; a paper-space block whose LAYOUT cannot be read goes after the others
// (the active one first among those), as in the DXF reader.

#include <QString>
#include <string_view>

#include "engine/drawing/drawing_model.h"

namespace drawing::dwg {

struct R2000Options {
    // Off only for fuzzing, so mutated inputs reach the object parsers: the check values
    // then let nothing corrupt through.
    bool verifyCheckValues = true;
};

// Fills `drawing` from the whole file `file`; returns why it cannot, or an empty string.
QString readR2000(std::string_view file, Drawing& drawing, const R2000Options& options = {});

}  // namespace drawing::dwg
