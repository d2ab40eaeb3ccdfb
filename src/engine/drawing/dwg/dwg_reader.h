#pragma once

// Reading a DWG file of release AC1015 (R2000) into the reader's model: the same block
// references and attributes the DXF reader finds in the DXF form of the drawing.

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
