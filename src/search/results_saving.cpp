// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/results_saving.h"

#include "platform/text_writer.h"

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

QString flag(bool checked) {
    return checked ? QStringLiteral("Y") : QStringLiteral("N");
}

}  // namespace

QString criteriaBlock(const ShownCriteria& c) {
    const QString gap = QStringLiteral("   ");
    return QStringLiteral("*** Search Criteria ***") + kLineEnd + QStringLiteral("Space: ") +
           c.space + kLineEnd + QStringLiteral("Blocks: ") + c.blocks + kLineEnd +
           QStringLiteral("Layers: ") + c.layers + kLineEnd + QStringLiteral("Search Text: ") +
           c.searchText + kLineEnd + QStringLiteral("Folder Spec: ") + c.folderPattern + kLineEnd +
           QStringLiteral("Match Case: ") + flag(c.matchCase) + gap +
           QStringLiteral("Whole Word: ") + flag(c.exactPhrase) + gap +
           QStringLiteral("Find Tag Name: ") + flag(c.findTag) + gap +
           QStringLiteral("Delimiter: ") + c.delimiter + kLineEnd + kLineEnd;
}

QString stripNull(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

platform::FileDialogRequest resultsSaveRequest(bool csv, const QString& startFolder) {
    platform::FileDialogRequest request;
    request.caption = QStringLiteral("Save Text File");
    request.folder = startFolder;
    request.filter = csv ? QStringLiteral("CSV Files (*.csv)|*.csv|All Files (*.*)|*.*")
                         : QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
    request.fileName = csv ? QStringLiteral("file.csv") : QStringLiteral("file.txt");
    // Replacing a file and creating one are both confirmed; a name without an extension is
    // used as typed.
    request.confirmOverwrite = true;
    request.confirmCreate = true;
    return request;
}

QString saveFolderOf(const QString& path) {
    qsizetype cut = path.lastIndexOf(QLatin1Char('/'));
#ifdef Q_OS_WIN
    cut = std::max(cut, path.lastIndexOf(QLatin1Char('\\')));
#endif
    return path.left(cut + 1);
}

std::optional<QString> writeResultsFile(const QString& path, const QString& text) {
    platform::TextWriter writer;
    if (writer.open(path, platform::TextWriter::Mode::Replace)) {
        writer.write(text);
        if (writer.commit()) return std::nullopt;
    }
    const QString reason = writer.errorString();
    return reason.isEmpty() ? QStringLiteral("the file could not be written") : reason;
}
