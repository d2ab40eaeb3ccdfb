// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "office/word_processor.h"

namespace office {

// A started word processor session over .docx files, with no document open. New documents are
// saved in `newDocumentFolder` as Document1.docx, Document2.docx, ... (the first name not
// taken); an empty folder means the user's documents folder. Paths are found ignoring letter
// case.
Result<std::shared_ptr<WordProcessor>> startDocxWordProcessor(QString newDocumentFolder);

}  // namespace office
