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
};

// Reads and checks the file header of `file`; on failure `problem` says why.
std::optional<FileHeader> readFileHeader(std::string_view file, bool verifyCheckValue,
                                         QString& problem);

// The $DWGCODEPAGE name of a code page number ("ANSI_1252"); empty when unknown.
std::string_view codePageName(int number);

}  // namespace drawing::dwg
