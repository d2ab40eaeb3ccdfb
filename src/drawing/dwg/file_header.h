// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The header at the start of an R13-R2000 file: the code page and where the sections lie.

#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>

namespace drawing::dwg {

struct SectionLocation {
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
    bool present = false;
};

struct FileHeader {
    int codePage = 0;  // the file's code page number; see codePageName()
    SectionLocation headerVariables;
    SectionLocation classes;
    SectionLocation objectMap;
    // Where the last of the sections the header locates ends: the objects lie before the
    // object map, so nothing the reader needs lies beyond.
    std::uint64_t locatedEnd = 0;
};

// Reads and checks the file header of `file` (the file's first bytes are enough); on failure
// `problem` says why.
std::optional<FileHeader> readFileHeader(std::string_view file, bool verifyCheckValue,
                                         QString& problem);

// The check value of a file header with `records` section locators, over its bytes `header` up
// to the check value.
std::uint16_t fileHeaderCheckValue(std::string_view header, std::uint32_t records);

// How many bytes from its start the reader needs of an R13-R2000 file of `fileSize` bytes that
// begins with `head`; nothing and `problem` set when its header is damaged or places the
// object map beyond the end of the file.
std::optional<std::uint64_t> flatFileExtent(std::string_view head, std::uint64_t fileSize,
                                            QString& problem);

// The $DWGCODEPAGE name of a code page number ("ANSI_1252"); empty when unknown.
std::string_view codePageName(int number);

}  // namespace drawing::dwg
