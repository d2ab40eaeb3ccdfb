// SPDX-License-Identifier: GPL-3.0-or-later
// quillon-page: the attribute page of one drawing without the window. Writes every attribute
// of the drawing as an HTML page and prints where it went.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include "cli/command_line.h"
#include "cli/console_run_ui.h"
#include "drawing/drawing_file_reader.h"
#include "engine/attribute_page.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/program_folder.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    platform::nameTheProgram();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes every block attribute of a drawing as an HTML page and prints the page's path.\n"
        "Without OUTPUT the page is attr.htm in the program folder."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("DRAWING", "Drawing file (.dxf or .dwg).");
    parser.addPositionalArgument("OUTPUT", "Page to write.", "[OUTPUT.htm]");
    parseCommandLine(parser, app);

    const QStringList args = parser.positionalArguments();
    if (args.isEmpty() || args.size() > 2) parser.showHelp(kBadArgumentsStatus);

    const QFileInfo drawing(platform::resolvePath(args[0]));
    AttributePageRequest request;
    request.drawingFolder = drawing.absolutePath();
    request.drawingName = drawing.fileName();
    request.pagePath = args.size() == 2 ? QFileInfo(args[1]).absoluteFilePath()
                                        : attributePagePath(platform::programFolder());
    // The page is written over whatever OUTPUT names: never over the drawing, however the two
    // paths are spelled (another case, "..", a link).
    if (platform::sameFile(drawing.absoluteFilePath(), request.pagePath)) {
        QTextStream(stderr) << "The page would replace the drawing " << drawing.absoluteFilePath()
                            << "; name another OUTPUT." << Qt::endl;
        return kBadArgumentsStatus;
    }

    ConsoleRunUi ui;
    platform::SystemClock clock;
    const AttributePageResult result =
        writeAttributePage(request, drawing::drawingFileReaderFactory(), ui, clock);
    if (result.outcome != AttributePageResult::Outcome::Written) {
        QTextStream(stderr) << result.status << Qt::endl;
        return 1;
    }
    QTextStream(stdout) << request.pagePath << Qt::endl;
    return 0;
}
