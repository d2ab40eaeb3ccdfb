// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include "office/database.h"
#include "office/spreadsheet.h"
#include "office/word_processor.h"

namespace office {

// How the outputs reach the office components. Each call may fail with an error number and
// description, as starting an outside program can.
struct Office {
    // A started program makes a new workbook or document in `newFileFolder`.
    std::function<Result<std::shared_ptr<Spreadsheet>>()> runningSpreadsheet;
    std::function<Result<std::shared_ptr<Spreadsheet>>(const QString& newFileFolder)>
        startSpreadsheet;
    std::function<Result<std::shared_ptr<Database>>(const QString& path, bool readOnly)>
        openDatabase;
    std::function<Result<std::shared_ptr<WordProcessor>>()> runningWordProcessor;
    std::function<Result<std::shared_ptr<WordProcessor>>(const QString& newFileFolder)>
        startWordProcessor;
};

// The error number of a component that cannot be created, shown in the error box with its text.
constexpr long kCannotCreateComponent = 429;

// Office components that cannot be reached: every call fails as a missing program does.
Office unavailableOffice();

}  // namespace office
