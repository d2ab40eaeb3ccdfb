// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/text_file_sender.h"

#include "output/csv_line.h"
#include "output/send_grid.h"
#include "platform/paths.h"
#include "platform/text_writer.h"

namespace output {

SendResult sendToTextFile(const SendRequest& request, const SendRecords& records) {
    const QString path = platform::resolvePath(request.file);
    const bool csv = path.right(4).toLower() == QLatin1String(".csv");
    platform::TextWriter file;
    if (file.open(path, request.append ? platform::TextWriter::Mode::Append
                                       : platform::TextWriter::Mode::Replace)) {
        if (request.tags) file.writeLine(headerLine(request.form, records.header, csv));
        for (const QString& record : records.records)
            file.writeLine(csv ? csvLine(record) : record);
        file.commit();
    }
    if (!file.errorString().isEmpty()) {
        // Nothing was written, or an existing file was left as it was: say so and why.
        return {false, QStringLiteral("File ") + path + QStringLiteral(" not saved: ") +
                           file.errorString() + QLatin1Char('.')};
    }
    return {true, QStringLiteral("File ") + path + QStringLiteral(" saved.")};
}

}  // namespace output
