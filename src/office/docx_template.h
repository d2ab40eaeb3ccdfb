// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "office/ooxml_package.h"

namespace office::docx {

// How messages name a document file.
ooxml::FileKind documentFile();

// The paper of a new document: Letter where the system measures in inches, else A4.
enum class Paper { A4, Letter };
Paper systemPaper();

// The parts of a new document: an empty body on a portrait page of `paper`, a "Normal"
// paragraph style and the "Table Grid" table style.
ooxml::Package newDocumentPackage(Paper paper);

}  // namespace office::docx
