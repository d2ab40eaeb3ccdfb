// SPDX-License-Identifier: GPL-3.0-or-later
// quillon-extract: the extraction run without the window, for scripts and a first look at the
// bundled examples. Prints the records of every matching drawing, one per line.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include "cli/command_line.h"
#include "cli/console_run_ui.h"
#include "cli/standard_output.h"
#include "drawing/drawing_file_reader.h"
#include "engine/extraction_pool.h"
#include "platform/folder_listing.h"
#include "platform/paths.h"
#include "platform/program_folder.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    platform::nameTheProgram();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Extracts block attributes from the drawings of a folder with a template and prints the "
        "records. Exit status: 0 with records, 1 without, 2 for bad arguments or a missing folder, "
        "3 when the "
        "records cannot be written."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("template", "Template file.");
    parser.addPositionalArgument("folder", "Folder of drawings.");
    parser.addPositionalArgument("pattern", "Drawing file pattern (default *.dxf).", "[pattern]");
    const QCommandLineOption sdf("sdf", "Space-delimited records with <n> blanks between fields.",
                                 "n");
    const QCommandLineOption noName("no-name", "Leave out the drawing name.");
    const QCommandLineOption fullPath("full-path", "Name drawings by their full path.");
    const QCommandLineOption timestamp("timestamp", "Add the drawing file's date and time.");
    const QCommandLineOption jobs = jobsOption(QStringLiteral("records"));
    parser.addOptions({sdf, noName, fullPath, timestamp, jobs});
    parseCommandLine(parser, app);

    const QStringList args = parser.positionalArguments();
    if (args.size() < 2 || args.size() > 3) parser.showHelp(kBadArgumentsStatus);

    ExtractionRunRequest request;
    request.programFolder = platform::programFolder();
    const QFileInfo templateFile(platform::resolvePath(args[0]));
    request.templateFolder = templateFile.absolutePath();
    request.templateName = templateFile.fileName();
    request.drawingFolder = platform::resolvePath(args[1]);
    request.drawingNames =
        platform::listFolder(request.drawingFolder, args.value(2, QStringLiteral("*.dxf")), {});
    request.form.includeDrawingName = !parser.isSet(noName);
    request.form.fullPath = parser.isSet(fullPath);
    request.form.timestamp = parser.isSet(timestamp);
    if (parser.isSet(sdf)) {
        bool ok = false;
        const int spaces = parser.value(sdf).toInt(&ok);
        if (!ok || spaces < 0 || spaces > 255) parser.showHelp(kBadArgumentsStatus);
        request.form.commaDelimited = false;
        request.form.spaces = static_cast<quint8>(spaces);
    }

    const std::optional<int> threads = jobsFrom(parser, jobs);
    if (!threads) parser.showHelp(kBadArgumentsStatus);

    ConsoleRunUi ui;
    if (const QString why = unreadableFolder(request.drawingFolder); !why.isEmpty()) {
        ui.printStatus(why);
        return kBadArgumentsStatus;
    }
    if (request.drawingNames.isEmpty()) {
        ui.printStatus(QStringLiteral("No drawings match ") +
                       platform::joinPath(request.drawingFolder, args.value(2, "*.dxf")) + ".");
        return 1;
    }
    platform::SystemClock clock;
    const ExtractionRunResult result =
        runExtractionOnThreads(request, drawing::drawingFileReaderFactory(), *threads, ui, clock);
    StandardOutput output;
    for (const QString& record : result.records) {
        output.stream() << record << "\r\n";
        if (!output.good()) break;  // the rest would not reach the output either
    }
    if (!output.flush()) {
        ui.printStatus(QStringLiteral("Cannot write the records: ") + output.errorString());
        return kOutputFailedStatus;
    }
    ui.printStatus(finalStatus(result, result.records.isEmpty()));
    if (result.outcome == ExtractionRunResult::Outcome::Finished && !result.lastError.isEmpty()) {
        ui.printStatus(QStringLiteral("Failures are listed in ") +
                       platform::joinPath(request.programFolder, "err.log") + ".");
    }
    return result.records.isEmpty() ? 1 : 0;
}
