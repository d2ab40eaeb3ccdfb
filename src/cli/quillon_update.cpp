// SPDX-License-Identifier: GPL-3.0-or-later
// quillon-update: edited attribute values written back into the drawings. Reads a source (a
// delimited text file, a workbook sheet or a database table), prints the plan, and with --plan
// stops there; otherwise writes each drawing whole or not at all and names the undo file.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QTextStream>

#include "cli/command_line.h"
#include "platform/paths.h"
#include "platform/program_folder.h"
#include "writeback/apply_update.h"
#include "writeback/edit_columns.h"
#include "writeback/plan_file.h"
#include "writeback/undo_file.h"
#include "writeback/update_plan.h"

namespace {

// Exit statuses: everything planned applied (with --plan: nothing in conflict), some rows or
// drawings could not be applied, bad arguments.
constexpr int kSomeNotApplied = 1;

void printPlan(QTextStream& out, const writeback::UpdatePlan& plan) {
    auto line = [&out](const QString& drawing, const writeback::PlannedValue& value) {
        out << drawing << '\t' << value.sourceRow << '\t' << value.blockName << '\t'
            << value.blockHandle << '\t' << value.tag << '\t' << value.now << '\t' << value.next
            << '\t' << writeback::statusWord(value.status);
        if (!value.reason.isEmpty()) out << '\t' << value.reason;
        out << '\n';
    };
    out << "DRAWING\tROW\tBLOCK\tHANDLE\tTAG\tNOW\tNEW\tSTATUS\tREASON\n";
    for (const writeback::PlannedValue& value : plan.unplaced) line(QString(), value);
    for (const writeback::DrawingPlan& drawing : plan.drawings) {
        for (const writeback::PlannedValue& value : drawing.values) line(drawing.path, value);
        if (!drawing.refusal.isEmpty() && drawing.count(writeback::ValueStatus::Change) > 0)
            out << drawing.path << "\t\t\t\t\t\t\tnot written\t" << drawing.refusal << '\n';
    }
    out << plan.count(writeback::ValueStatus::Change) << " value(s) to change, "
        << plan.count(writeback::ValueStatus::Unchanged) << " unchanged, "
        << plan.count(writeback::ValueStatus::Problem) << " that cannot be applied, in "
        << plan.drawings.size() << " drawing(s)." << Qt::endl;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    platform::nameTheProgram();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes edited attribute values back into DXF drawings. SOURCE is a delimited text file\n"
        "(.csv, .txt), a workbook (.xlsx) with its SHEET, or a SQLite database (.db) with its\n"
        "TABLE, holding DRAWING_NAME, BLOCK_HANDLE and one column per tag (as Quillon extracts\n"
        "with FULLDWGNAME, BLOCK_HANDLE and TAGS), or a register: DRAWING_NAME, an optional\n"
        "SPACE (MODEL or PAPER) and tag columns, applied to every block that has the tag.\n"
        "Each drawing is written whole or not at all; the previous file stays as NAME.bak and\n"
        "an undo file beside SOURCE holds the old values.\n"
        "Exit status: 0 everything planned was applied (with --plan: nothing is in conflict),\n"
        "1 some rows could not be applied, 2 bad arguments."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption planOption(QStringLiteral("plan"),
                                        QStringLiteral("Print the plan and change nothing."));
    const QCommandLineOption noBackupOption(QStringLiteral("no-backup"),
                                            QStringLiteral("Keep no NAME.bak."));
    const QCommandLineOption folderOption(
        QStringLiteral("folder"), QStringLiteral("Where drawings named without a folder are."),
        QStringLiteral("DIR"));
    const QCommandLineOption blocksOption(
        QStringLiteral("blocks"),
        QStringLiteral("A register's blocks: names separated by commas, wildcards allowed."),
        QStringLiteral("LIST"));
    parser.addOptions({planOption, noBackupOption, folderOption, blocksOption});
    parser.addPositionalArgument("SOURCE", "The edited values.");
    parser.addPositionalArgument("SHEET|TABLE", "The workbook's sheet or the database's table.",
                                 "[SHEET|TABLE]");
    parseCommandLine(parser, app);

    const QStringList args = parser.positionalArguments();
    if (args.isEmpty() || args.size() > 2) parser.showHelp(kBadArgumentsStatus);
    QTextStream err(stderr);
    const QString source = platform::resolvePath(args[0]);
    const writeback::EditSource edits{writeback::kindOfFile(source), source, args.value(1)};
    const auto table = writeback::readEditSource(edits);
    if (!table) {
        err << table.error().description << Qt::endl;
        return kBadArgumentsStatus;
    }
    const auto columns = writeback::editColumns(table.value());
    if (!columns) {
        err << columns.error().description << Qt::endl;
        return kBadArgumentsStatus;
    }
    writeback::UpdateOptions options;
    options.folder =
        parser.isSet(folderOption) ? parser.value(folderOption) : QFileInfo(source).absolutePath();
    if (parser.isSet(folderOption)) {
        if (const QString unreadable = unreadableFolder(options.folder); !unreadable.isEmpty()) {
            err << unreadable << Qt::endl;
            return kBadArgumentsStatus;
        }
    }
    options.blockFilter = parser.value(blocksOption).split(QLatin1Char(','), Qt::SkipEmptyParts);
    options.keepBackup = !parser.isSet(noBackupOption);

    QTextStream out(stdout);
    const writeback::UpdatePlan plan =
        writeback::planUpdate(table.value(), columns.value(), options);
    printPlan(out, plan);
    const bool problems = plan.count(writeback::ValueStatus::Problem) > 0;
    if (parser.isSet(planOption)) return problems ? kSomeNotApplied : 0;

    const writeback::ApplyResult applied = writeback::applyUpdate(
        plan, options, writeback::undoSourceFor(edits, QDateTime::currentDateTime()));
    for (const writeback::DrawingOutcome& drawing : applied.drawings) {
        if (drawing.written) {
            out << "Written: " << drawing.path << " (" << drawing.changed << " value(s))\n";
        } else if (!drawing.reason.isEmpty()) {
            out << "Not written: " << drawing.path << ": " << drawing.reason << '\n';
        }
    }
    if (!applied.undoFile.isEmpty()) out << "Undo file: " << applied.undoFile << '\n';
    if (!applied.undoError.isEmpty()) {
        err << "The undo file could not be written: " << applied.undoError << Qt::endl;
    }
    out.flush();
    return problems || applied.failed() > 0 || !applied.undoError.isEmpty() ? kSomeNotApplied : 0;
}
