// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/office.h"

namespace office {
namespace {

// What a window without office components reports: the program to reach is not part of it.
Error cannotCreate() {
    return Error{kCannotCreateComponent,
                 QStringLiteral("No office component is available in this program")};
}

}  // namespace

Office unavailableOffice() {
    Office office;
    office.runningSpreadsheet = []() -> Result<std::shared_ptr<Spreadsheet>> {
        return cannotCreate();
    };
    office.startSpreadsheet = [](const QString&) -> Result<std::shared_ptr<Spreadsheet>> {
        return cannotCreate();
    };
    office.openDatabase = [](const QString&, bool) -> Result<std::shared_ptr<Database>> {
        return cannotCreate();
    };
    office.runningWordProcessor = []() -> Result<std::shared_ptr<WordProcessor>> {
        return cannotCreate();
    };
    office.startWordProcessor = [](const QString&) -> Result<std::shared_ptr<WordProcessor>> {
        return cannotCreate();
    };
    return office;
}

}  // namespace office
