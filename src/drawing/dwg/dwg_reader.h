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
#include <cstddef>
#include <cstdint>
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

// The first bytes of a DWG file that tell how much of it the reader needs: the file header
// of every release fits in them.
inline constexpr std::size_t kHeadSize = 0x480;

// How much of a file the reader needs, told by the file's header before the rest is read.
struct ReadExtent {
    std::uint64_t bytes = 0;  // from the start of the file
    QString problem;          // why the file cannot be read; then `bytes` is 0
};

// The extent of a file of `fileSize` bytes that begins with `head` (its first kHeadSize bytes,
// or all of a shorter file). The header is checked and the sections it locates must lie
// inside the file, so a damaged or foreign file is refused before more than its head is read,
// and the bytes read never exceed the file's size.
ReadExtent readExtent(std::string_view head, std::uint64_t fileSize);

// Fills `drawing` from the whole file `file`; returns why it cannot, or an empty string.
QString readDwg(std::string_view file, Drawing& drawing, const DwgOptions& options = {});

}  // namespace drawing::dwg
