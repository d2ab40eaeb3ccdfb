// SPDX-License-Identifier: GPL-3.0-or-later
// quillon-search: the attribute search without the window, for scripts. Prints the header line
// and the result lines on standard output as they are found; the totals line and the drawings
// that could not be opened go to standard error. With --register, the drawings are not read:
// the register quillon-index keeps answers, with the same lines and one more column, when each
// drawing was indexed.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>

#include "cli/command_line.h"
#include "cli/standard_output.h"
#include "drawing/drawing_file_reader.h"
#include "engine/attribute_search.h"
#include "engine/blanks.h"
#include "platform/program_folder.h"
#include "register/register_search.h"

namespace {

constexpr int kHits = 0;
constexpr int kNoHits = 1;

// Line ends of the result lines: the same lines the window shows and saves.
const QString kLineEnd = QStringLiteral("\r\n");

class ConsoleUi : public EngineUi {
public:
    explicit ConsoleUi(QTextStream& err) : m_err(err) {}
    void processPendingEvents() override {}
    void showError(const QString& caption, const QString& text) override {
        m_err << caption << ": " << text << Qt::endl;
    }

private:
    QTextStream& m_err;
};

// A delimiter is one character that cannot be mistaken for a blank or a line end.
bool usableDelimiter(const QString& text) {
    return text.size() == 1 && text != QLatin1String(" ") && text != QLatin1String("\r") &&
           text != QLatin1String("\n") && text[0] != QChar(0);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    platform::nameTheProgram();
    StandardOutput output;
    QTextStream& out = output.stream();
    QTextStream err(stderr);
    // Every way out after output has been written: what did not reach it is a failure.
    auto finish = [&](int status) {
        if (output.flush()) return status;
        err << "Cannot write the results: " << output.errorString() << Qt::endl;
        return kOutputFailedStatus;
    };

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Finds the block attributes whose value (or tag) contains TEXT in the drawings that "
        "FOLDER_SPEC names (a folder and a file wildcard such as /data/dwg/*.dwg; letter case "
        "is ignored). Exit status: 0 with hits, 1 without, 2 for bad arguments or a folder "
        "that is missing or cannot be read, 3 when the results cannot be written."));
    const QCommandLineOption help({"h", "help"}, "Show this help.");
    const QCommandLineOption version({"v", "version"}, "Show the version.");
    const QCommandLineOption space("space", "Space to search: Both (default), Model or Paper.",
                                   "space", "Both");
    const QCommandLineOption blocks(
        "blocks", "Block names, separated by commas (* for all, the default).", "list", "*");
    const QCommandLineOption layers(
        "layers", "Layer names, separated by commas (* for all, the default).", "list", "*");
    const QCommandLineOption matchCase("case", "Match letter case.");
    const QCommandLineOption whole("whole", "The whole value (or tag) must equal TEXT.");
    const QCommandLineOption tag("tag", "Search tag names instead of values.");
    const QCommandLineOption fullPath("full-path", "Name drawings by their full path.");
    const QCommandLineOption delimiter("delimiter", "Field delimiter, one character (default ,).",
                                       "c", ",");
    const QCommandLineOption registerOption(
        "register",
        "Answer from the register quillon-index keeps instead of reading the drawings: a "
        "register file, or a PostgreSQL connection (\"host=... dbname=...\"). FOLDER_SPEC "
        "may then be left out to search the whole register. Each line ends with the time "
        "(UTC) its drawing was indexed.",
        "DB|CONNINFO");
    const QCommandLineOption jobs = jobsOption(QStringLiteral("lines"));
    parser.addOptions({help, version, space, blocks, layers, matchCase, whole, tag, fullPath,
                       delimiter, registerOption, jobs});
    parser.addPositionalArgument("TEXT", "Attribute value or tag name to search for.");
    parser.addPositionalArgument("FOLDER_SPEC", "Folder and file specification.");

    auto refuse = [&](const QString& why) {
        err << why << Qt::endl << Qt::endl << parser.helpText();
        err.flush();
        return kBadArgumentsStatus;
    };
    if (!parser.parse(QCoreApplication::arguments())) return refuse(parser.errorText());
    if (parser.isSet(help)) {
        out << parser.helpText();
        return finish(kHits);
    }
    if (parser.isSet(version)) {
        out << "quillon-search " QUILLON_VERSION "\n";
        return finish(kHits);
    }
    const QStringList args = parser.positionalArguments();
    const bool fromRegister = parser.isSet(registerOption);
    if (args.size() != 2 && !(fromRegister && args.size() == 1))
        return refuse(QStringLiteral("Give TEXT and FOLDER_SPEC."));

    SearchCriteria criteria;
    criteria.space = parser.value(space);
    if (criteria.space != QLatin1String("Both") && criteria.space != QLatin1String("Model") &&
        criteria.space != QLatin1String("Paper")) {
        return refuse(QStringLiteral("--space is Both, Model or Paper."));
    }
    // Blank lists mean all, as in the window.
    criteria.blocks =
        blanks::cut(parser.value(blocks)).isEmpty() ? QStringLiteral("*") : parser.value(blocks);
    criteria.layers =
        blanks::cut(parser.value(layers)).isEmpty() ? QStringLiteral("*") : parser.value(layers);
    criteria.matchCase = parser.isSet(matchCase);
    criteria.exactPhrase = parser.isSet(whole);
    criteria.findTag = parser.isSet(tag);
    criteria.text = args[0];
    if (blanks::cut(criteria.text).isEmpty()) {
        return refuse(QStringLiteral("Enter text phrase to search for."));
    }
    if (args.size() > 1 && blanks::cut(args[1]).isEmpty())
        return refuse(QStringLiteral("Enter folder."));
    const std::optional<int> threads = jobsFrom(parser, jobs);
    if (!threads) return refuse(QStringLiteral("--jobs is a whole number from 0 to 256."));
    const QString fieldDelimiter = parser.value(delimiter);
    if (!usableDelimiter(fieldDelimiter)) {
        return refuse(QStringLiteral("--delimiter is one character, not a blank or a line end."));
    }

    std::optional<FolderPattern> where;
    if (args.size() > 1) where = splitFolderPattern(args[1]);
    // The register may name drawings of folders this machine does not see.
    if (const QString why =
            where && !fromRegister
                ? unreadableFolder(where->folder.isEmpty() ? QStringLiteral(".") : where->folder)
                : QString();
        !why.isEmpty()) {
        err << why << Qt::endl;
        return kBadArgumentsStatus;
    }

    QStringList drawings;
    drawingapi::ReaderFactory reader = drawing::drawingFileReaderFactory();
    std::optional<reg::RegisterSearch> fromTheRegister;
    if (fromRegister) {
        const QString place = parser.value(registerOption);
        reg::RegisterAddress address;
        // A file that is there is a register file; otherwise a conninfo holds "=" (dbname=...)
        // or is an address.
        if (QFileInfo::exists(place)) {
            address.database = place;
        } else if (place.contains(u'=') || place.startsWith(QLatin1String("postgres"))) {
            address.server = place;
        } else {
            err << "No register at " << place << "." << Qt::endl;
            return kBadArgumentsStatus;
        }
        auto opened = reg::openRegisterDatabase(address);
        if (!opened) {
            err << opened.error().description << Qt::endl;
            return kBadArgumentsStatus;
        }
        auto prepared = reg::prepareRegisterSearch(*opened.value(), criteria, where);
        if (!prepared) {
            err << prepared.error().description << Qt::endl;
            return kBadArgumentsStatus;
        }
        fromTheRegister = std::move(prepared).value();
        drawings = fromTheRegister->drawings;
        reader = fromTheRegister->reader;
    } else {
        drawings = drawingsOf(*where);
    }

    ConsoleUi ui(err);
    platform::SystemClock clock;
    SearchRun run(reader, ui, clock);
    run.setCriteria(criteria);
    run.setDelimiter(fieldDelimiter);
    run.setJobs(*threads);
    // The whole register holds drawings of many folders: their names alone would not tell
    // them apart.
    run.setFullPath(parser.isSet(fullPath) || !where);

    // The header goes in front of the first result line, so a search without hits prints
    // nothing on standard output, as the window shows nothing.
    bool headerPrinted = false;
    // From the register, each line says when its drawing's entry was made: the drawing may
    // have changed on disk since.
    qsizetype current = -1;
    QString indexedAt;
    SearchRun::Events events;
    events.searching = [&](const QString&) {
        if (!fromTheRegister) return;
        const qint64 ms = fromTheRegister->indexedAt.value(drawings.value(++current));
        indexedAt = fieldDelimiter + reg::indexedTimeText(ms);
    };
    events.lineFound = [&](const QString& line) {
        if (!headerPrinted) {
            out << searchHeaderLine(fieldDelimiter);
            if (fromTheRegister) out << fieldDelimiter << "Indexed";
            out << kLineEnd;
            headerPrinted = true;
        }
        out << line << indexedAt << kLineEnd;
        // Nothing more can reach the output: the rest of the search would be for nothing.
        if (!output.good()) run.requestAbort();
    };
    events.openFailed = [&](const QString& path, const QString& reason) {
        // The lines found so far go out before the failure is told, so the two keep their order.
        if (!output.flush()) run.requestAbort();
        err << "Cannot open " << path;
        if (!reason.isEmpty()) err << " (" << reason << ")";
        err << Qt::endl;
    };
    const SearchRun::Totals totals = run.run(drawings, events);
    if (!output.flush()) return finish(kOutputFailedStatus);
    if (!totals.started) {
        err << "Unable to start AutoCAD" << Qt::endl;
        return kNoHits;
    }
    err << searchTotalsLine(totals.hits, totals.filesWithHits, totals.elapsedSeconds) << Qt::endl;
    return totals.hits > 0 ? kHits : kNoHits;
}
