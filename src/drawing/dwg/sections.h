// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The data sections of a DWG file of release AC1018 (R2004) and later, taken out of the
// file's pages and decompressed: what the object reader needs of them.

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace drawing::dwg {

struct Sections {
    int codePage = 0;                 // the file header's code page number (offset 0x13)
    unsigned maintenanceRelease = 0;  // the file header's byte at offset 0x0B
    std::string header;               // "AcDb:Header"
    std::string classes;              // "AcDb:Classes"
    std::string handles;              // "AcDb:Handles": the object map
    std::string objects;              // "AcDb:AcDbObjects": offsets in the map count from here
};

struct SectionOptions {
    // Off only for fuzzing, so mutated inputs reach the parsers behind: the check values
    // then let nothing corrupt through.
    bool verifyCheckValues = true;
};

// The first 0x80 bytes of an R2004-and-later file, which are not encrypted or coded.
struct PlainHeader {
    int codePage = 0;
    unsigned maintenanceRelease = 0;
    bool dataEncrypted = false;  // the security flags say: encrypted with a password
};
// `file` holds at least 0x80 bytes.
PlainHeader readPlainHeader(std::string_view file);
// The description of a drawing refused for its password.
QString passwordProtected();

// How many bytes from its start the reader needs of a paged file of `fileSize` bytes that
// begins with `head` (its first 0x480 bytes, or all of a shorter file); nothing and `problem`
// set when the file header is not a drawing's or places the section page map beyond the end
// of the file. For AC1018, AC1024, AC1027 and AC1032 files, and for AC1021 files.
std::optional<std::uint64_t> pagedFileExtent(std::string_view head, std::uint64_t fileSize,
                                             QString& problem);
std::optional<std::uint64_t> r2007FileExtent(std::string_view head, std::uint64_t fileSize,
                                             QString& problem);

// The sections of an AC1018, AC1024, AC1027 or AC1032 file (pages compressed with the
// R2004 method); nothing and `problem` set when the file is encrypted, truncated or corrupt.
std::optional<Sections> readPagedSections(std::string_view file, const SectionOptions& options,
                                          QString& problem);

// The sections of an AC1021 file (R2007: Reed-Solomon coded pages, its own compression).
std::optional<Sections> readR2007Sections(std::string_view file, const SectionOptions& options,
                                          QString& problem);

}  // namespace drawing::dwg
