#include "platform/office/office.h"

namespace platform::office {
namespace {

Error cannotCreate() {
    return Error{429, QStringLiteral("ActiveX component can't create object")};
}

}  // namespace

Office unavailableOffice() {
    Office office;
    office.runningSpreadsheet = []() -> Result<std::shared_ptr<Spreadsheet>> {
        return cannotCreate();
    };
    office.startSpreadsheet = office.runningSpreadsheet;
    office.openDatabase = [](const QString&, bool) -> Result<std::shared_ptr<Database>> {
        return cannotCreate();
    };
    office.runningWordProcessor = []() -> Result<std::shared_ptr<WordProcessor>> {
        return cannotCreate();
    };
    office.startWordProcessor = office.runningWordProcessor;
    return office;
}

}  // namespace platform::office
