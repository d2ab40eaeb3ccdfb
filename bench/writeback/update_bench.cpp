// SPDX-License-Identifier: GPL-3.0-or-later
// Writing edited values back into a folder of drawings, beside the extraction of the same
// folder. A scratch folder gets N copies of one drawing, each under its own name (or a copy of
// every drawing of a folder), and a source in the by-reference layout (DRAWING_NAME with the
// full path, BLOCK_HANDLE, one tag) that changes one value in each. Then, best of N runs each:
//   - quillon-extract on the folder (full paths, handles, every tag), as a user runs it;
//   - quillon-update --plan, and quillon-update (plan and apply), as processes;
//   - the source read, planUpdate and applyUpdate (backups and undo file) in a process of their
//     own (this program run as `update_bench --engine SOURCE`), each step timed.
// Every run starts from fresh copies, flushed to the disk first: applying syncs each new file.
// After each apply, every drawing is read back and must hold its new value and have its
// backup. Last, the single operations a drawing goes through, timed on one drawing.
//   build-bench/bench/update_bench DRAWING|FOLDER [--copies N] [--repeat N] [--tag TAG]
//       [--scratch DIR]

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "drawing/attribute_value_writer.h"
#include "drawing/dxf_reader.h"
#include "writeback/apply_update.h"
#include "writeback/delimited_file.h"
#include "writeback/edit_columns.h"
#include "writeback/undo_file.h"
#include "writeback/update_plan.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

double processorSeconds(const rusage& usage) {
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

rusage ownUsage() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage;
}

// One timed step: the best wall time of the runs, the processor time of that run, and the
// largest peak memory of all runs (kilobytes, as the kernel counts ru_maxrss).
struct Step {
    double wall = 1e30;
    double processor = 0;
    long peakKb = 0;
    int runs = 0;

    void add(double runWall, double runProcessor, long runPeakKb) {
        if (runWall < wall) {
            wall = runWall;
            processor = runProcessor;
        }
        peakKb = std::max(peakKb, runPeakKb);
        ++runs;
    }
};

struct ProgramRun {
    int status = -1;
    double wall = 0;
    double processor = 0;
    long peakKb = 0;
};

// update_bench --measure OUTPUT PROGRAM [ARGUMENTS...]: runs PROGRAM with its output to
// OUTPUT and its errors to OUTPUT.err, and prints its exit status, wall time, processor time
// and peak memory. A child's peak memory as the kernel counts it starts from the memory of the
// process that forked it (a fork copies the parent's page tables, a vfork shares them), so
// the programs are started from this small process and not from the bench, which holds the
// drawings' bytes.
int measureChild(char** argv) {
    std::fflush(nullptr);
    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const std::string output = argv[2];
        const std::string errors = output + ".err";
        const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(126);
        execv(argv[3], argv + 3);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return 1;
    std::printf("%d %.6f %.6f %ld\n", WIFEXITED(status) ? WEXITSTATUS(status) : -2,
                secondsSince(start), processorSeconds(usage), usage.ru_maxrss);
    return 0;
}

QString thisProgram() {
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

// Runs a program as a shell would, through `update_bench --measure`, its output to
// `outputFile`.
ProgramRun runProgram(const QString& program, const QStringList& arguments,
                      const QString& outputFile) {
    const QString report = outputFile + QStringLiteral(".measured");
    std::vector<std::string> words{QFile::encodeName(thisProgram()).toStdString(), "--measure",
                                   QFile::encodeName(outputFile).toStdString(),
                                   QFile::encodeName(program).toStdString()};
    for (const QString& argument : arguments) words.push_back(argument.toStdString());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const QByteArray reportName = QFile::encodeName(report);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, reportName.constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ProgramRun run;
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return run;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return run;
    QFile measured(report);
    if (!measured.open(QIODevice::ReadOnly)) return run;
    const QList<QByteArray> fields = measured.readAll().simplified().split(' ');
    if (fields.size() != 4) return run;
    run.status = fields[0].toInt();
    run.wall = fields[1].toDouble();
    run.processor = fields[2].toDouble();
    run.peakKb = fields[3].toLong();
    return run;
}

// What the engine's steps measured in their own process.
struct EngineRun {
    double readWall = 0, planWall = 0, applyWall = 0;
    double readProcessor = 0, planProcessor = 0, applyProcessor = 0;
    long startKb = 0, afterReadKb = 0, afterPlanKb = 0, afterApplyKb = 0;
    int changes = 0, problems = 0, written = 0, failed = 0, undoWritten = 0;
    bool ok = false;
};

// update_bench --engine SOURCE: the steps quillon-update takes, each timed, with the peak
// memory of the process after each; printed as one line of numbers.
int engineSteps(const QString& source) {
    EngineRun run;
    const rusage atStart = ownUsage();
    run.startKb = atStart.ru_maxrss;

    Clock::time_point start = Clock::now();
    const auto table = writeback::readDelimitedFile(source);
    if (!table) return 1;
    const auto columns = writeback::editColumns(table.value());
    if (!columns) return 1;
    writeback::UpdateOptions options;
    options.folder = QFileInfo(source).absolutePath();
    run.readWall = secondsSince(start);
    const rusage afterRead = ownUsage();
    run.readProcessor = processorSeconds(afterRead) - processorSeconds(atStart);
    run.afterReadKb = afterRead.ru_maxrss;

    start = Clock::now();
    const writeback::UpdatePlan plan =
        writeback::planUpdate(table.value(), columns.value(), options);
    run.planWall = secondsSince(start);
    const rusage afterPlan = ownUsage();
    run.planProcessor = processorSeconds(afterPlan) - processorSeconds(afterRead);
    run.afterPlanKb = afterPlan.ru_maxrss;
    run.changes = plan.count(writeback::ValueStatus::Change);
    run.problems = plan.count(writeback::ValueStatus::Problem);

    start = Clock::now();
    const writeback::ApplyResult applied = writeback::applyUpdate(
        plan, options,
        writeback::undoSourceFor({writeback::SourceKind::TextFile, source, {}},
                                 QDateTime::currentDateTime()));
    run.applyWall = secondsSince(start);
    const rusage afterApply = ownUsage();
    run.applyProcessor = processorSeconds(afterApply) - processorSeconds(afterPlan);
    run.afterApplyKb = afterApply.ru_maxrss;
    run.written = applied.written();
    run.failed = applied.failed();
    run.undoWritten = applied.undoFile.isEmpty() ? 0 : 1;

    std::printf("%.6f %.6f %.6f %.6f %.6f %.6f %ld %ld %ld %ld %d %d %d %d %d\n", run.readWall,
                run.planWall, run.applyWall, run.readProcessor, run.planProcessor,
                run.applyProcessor, run.startKb, run.afterReadKb, run.afterPlanKb, run.afterApplyKb,
                run.changes, run.problems, run.written, run.failed, run.undoWritten);
    return 0;
}

// The engine's steps in a process of their own, started like the programs.
EngineRun engineStepsApart(const QString& source, const QString& outputFile) {
    EngineRun run;
    const ProgramRun process =
        runProgram(thisProgram(), {QStringLiteral("--engine"), source}, outputFile);
    QFile printed(outputFile);
    if (process.status != 0 || !printed.open(QIODevice::ReadOnly)) return run;
    const QList<QByteArray> f = printed.readAll().simplified().split(' ');
    if (f.size() != 15) return run;
    run.readWall = f[0].toDouble();
    run.planWall = f[1].toDouble();
    run.applyWall = f[2].toDouble();
    run.readProcessor = f[3].toDouble();
    run.planProcessor = f[4].toDouble();
    run.applyProcessor = f[5].toDouble();
    run.startKb = f[6].toLong();
    run.afterReadKb = f[7].toLong();
    run.afterPlanKb = f[8].toLong();
    run.afterApplyKb = f[9].toLong();
    run.changes = f[10].toInt();
    run.problems = f[11].toInt();
    run.written = f[12].toInt();
    run.failed = f[13].toInt();
    run.undoWritten = f[14].toInt();
    run.ok = true;
    return run;
}

// The attribute a drawing's row changes.
struct Target {
    QString path;    // the copy in the scratch folder
    QString handle;  // its block reference
    QString tag;
    QString next;
    drawing::AttributeLocator attribute;  // the attribute itself, for timing its edit alone
};

// The block reference whose value changes: the first with a handle and the tag (any tag when
// none is asked for), a paper-space one first (a sheet's title block).
bool pickReference(const drawing::Drawing& model, QString& tag, QString& handle,
                   drawing::AttributeLocator& locator) {
    for (const bool paper : {true, false}) {
        for (const drawing::InsertRecord& insert : model.inserts) {
            if (insert.paperSpace != paper || insert.handle.empty()) continue;
            for (std::uint32_t i = 0; i < insert.attributeCount; ++i) {
                const drawing::AttributeRecord& attribute =
                    model.attributes[insert.firstAttribute + i];
                if (!tag.isEmpty() && attribute.tag.compare(tag, Qt::CaseInsensitive) != 0)
                    continue;
                tag = attribute.tag;
                handle = insert.handle.toQString();
                locator = {attribute.handle.toQString(), insert.firstAttribute + i};
                return true;
            }
        }
    }
    return false;
}

QString csvField(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The copies as they were before any run, every earlier run's backups and undo files gone,
// and all of it on the disk: applying syncs its new files, and should not pay for ours.
bool freshCopies(const QString& folder, const std::vector<QString>& names,
                 const std::vector<QByteArray>& contents, const QString& scratch) {
    if (!QDir(folder).removeRecursively() || !QDir().mkpath(folder)) return false;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!writeFile(folder + QLatin1Char('/') + names[i], contents[i])) return false;
    }
    for (const QString& undo : QDir(scratch).entryList({QStringLiteral("edited-undo-*.csv")}))
        QFile::remove(scratch + QLatin1Char('/') + undo);
    ::sync();
    return true;
}

// Every drawing holds its new value and has its backup.
int verifiedDrawings(const std::vector<Target>& targets) {
    int good = 0;
    for (const Target& target : targets) {
        const auto model = drawing::readDrawingFile(target.path);
        if (!model) continue;
        bool found = false;
        for (const drawing::InsertRecord& insert : model.value()->inserts) {
            if (insert.handle.toQString() != target.handle) continue;
            for (std::uint32_t i = 0; i < insert.attributeCount && !found; ++i) {
                const drawing::AttributeRecord& attribute =
                    model.value()->attributes[insert.firstAttribute + i];
                found = attribute.tag == target.tag && attribute.text == target.next;
            }
        }
        const QFileInfo info(target.path);
        found = found && QFileInfo::exists(info.absolutePath() + QLatin1Char('/') +
                                           info.completeBaseName() + QStringLiteral(".bak"));
        good += found ? 1 : 0;
    }
    return good;
}

qint64 lineCount(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : -1;
}

QString megabytes(long kilobytes) {
    return QString::number(static_cast<double>(kilobytes) / 1024.0, 'f', 1) + QStringLiteral(" MB");
}

// What planning and applying do to each drawing, timed one by one on one drawing (best of
// `repeat`): which of them the per-drawing times above are made of.
QString timeDrawingSteps(const Target& target, const QString& scratch, int repeat) {
    auto best = [repeat](auto&& step) {
        double fastest = 1e30;
        for (int i = 0; i < repeat; ++i) {
            const Clock::time_point start = Clock::now();
            if (!step()) return -1.0;
            fastest = std::min(fastest, secondsSince(start));
        }
        return fastest * 1000.0;
    };
    QByteArray bytes;
    const double readAll = best([&] {
        QFile file(target.path);
        if (!file.open(QIODevice::ReadOnly)) return false;
        bytes = file.readAll();
        return !bytes.isEmpty();
    });
    const double fingerprint =
        best([&] { return writeback::fingerprintOf(target.path).size == bytes.size(); });
    const double parse = best([&] {
        return drawing::readDrawingBytes(
                   std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))
            .ok();
    });
    const double rewrite = best([&] {
        return static_cast<bool>(
            drawing::rewriteAttributeValues(bytes, {{target.attribute, target.next}}));
    });
    const double parseFile = best([&] { return drawing::readDrawingFile(target.path).ok(); });
    const QString written = scratch + QStringLiteral("/written.dxf");
    const double writeSynced = best([&] {
        QFile file(written);
        const bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
                        file.flush() && ::fsync(file.handle()) == 0;
        file.remove();
        return ok;
    });
    auto ms = [](double value) { return QString::number(value, 'f', 3); };
    QString line;
    QTextStream out(&line);
    out << "one drawing (" << QString::number(static_cast<double>(bytes.size()) / 1e6, 'f', 2)
        << " MB), ms best of " << repeat << ": read whole " << ms(readAll)
        << ", fingerprint (read + SHA-256) " << ms(fingerprint) << ", parse in memory " << ms(parse)
        << ", value rewritten " << ms(rewrite) << ", parse file " << ms(parseFile)
        << ", write + fsync " << ms(writeSynced) << "\n";
    out.flush();
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "--measure") == 0) return measureChild(argv);
    if (argc == 3 && std::strcmp(argv[1], "--engine") == 0)
        return engineSteps(QString::fromLocal8Bit(argv[2]));
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    auto option = [&args](const QString& name, const QString& fallback) {
        const qsizetype at = args.indexOf(name);
        if (at < 0 || at + 1 >= args.size()) return fallback;
        const QString value = args[at + 1];
        args.remove(at, 2);
        return value;
    };
    const int copies =
        std::max(1, option(QStringLiteral("--copies"), QStringLiteral("500")).toInt());
    const int repeat = std::max(1, option(QStringLiteral("--repeat"), QStringLiteral("3")).toInt());
    QString tag = option(QStringLiteral("--tag"), QString());
    const QString scratchOption = option(QStringLiteral("--scratch"), QString());
    QTextStream out(stdout);
    if (args.size() != 1) {
        out << "usage: update_bench DRAWING|FOLDER [--copies N] [--repeat N] [--tag TAG] "
               "[--scratch DIR]\n";
        return 2;
    }

    // The drawings to copy: one drawing N times, or every drawing of a folder once.
    const QFileInfo input(args[0]);
    std::vector<QString> names;
    std::vector<QByteArray> contents;
    if (input.isDir()) {
        const QDir folder(input.absoluteFilePath());
        for (const QString& name :
             folder.entryList({QStringLiteral("*.dxf")}, QDir::Files, QDir::Name)) {
            QFile file(folder.filePath(name));
            if (!file.open(QIODevice::ReadOnly)) continue;
            names.push_back(name);
            contents.push_back(file.readAll());
        }
    } else {
        QFile file(input.absoluteFilePath());
        if (!file.open(QIODevice::ReadOnly)) {
            out << "cannot read " << input.filePath() << "\n";
            return 1;
        }
        const QByteArray bytes = file.readAll();
        for (int i = 1; i <= copies; ++i) {
            names.push_back(QStringLiteral("sheet-%1-%2.dxf")
                                .arg(i, 4, 10, QLatin1Char('0'))
                                .arg(input.completeBaseName()));
            contents.push_back(bytes);
        }
    }

    QTemporaryDir temporary(scratchOption.isEmpty()
                                ? QDir::tempPath() + QStringLiteral("/update-bench-XXXXXX")
                                : scratchOption + QStringLiteral("/update-bench-XXXXXX"));
    if (!temporary.isValid()) {
        out << "no scratch folder\n";
        return 1;
    }
    const QString scratch = temporary.path();
    const QString drawings = scratch + QStringLiteral("/drawings");
    const QString source = scratch + QStringLiteral("/edited.csv");
    if (!freshCopies(drawings, names, contents, scratch)) {
        out << "cannot write the copies in " << scratch << "\n";
        return 1;
    }

    // One row a drawing: its full path, the block reference's handle, a value of its own.
    std::vector<Target> targets;
    qint64 totalBytes = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto model = drawing::readDrawingBytes(std::string_view(
            contents[i].constData(), static_cast<std::size_t>(contents[i].size())));
        QString handle;
        drawing::AttributeLocator locator;
        if (!model || !pickReference(*model.value(), tag, handle, locator)) continue;
        targets.push_back({drawings + QLatin1Char('/') + names[i], handle, tag,
                           QStringLiteral("Bench value %1").arg(i + 1), locator});
        totalBytes += contents[i].size();
    }
    if (targets.empty()) {
        out << "no drawing has a block reference with a handle and an attribute"
            << (tag.isEmpty() ? QString() : QStringLiteral(" tagged ") + tag) << "\n";
        return 1;
    }
    QString csv =
        QStringLiteral("DRAWING_NAME,BLOCK_HANDLE,") + csvField(tag) + QStringLiteral("\r\n");
    for (const Target& target : targets) {
        csv += csvField(target.path) + QLatin1Char(',') + csvField(target.handle) +
               QLatin1Char(',') + csvField(target.next) + QStringLiteral("\r\n");
    }
    writeFile(source, csv.toUtf8());
    // The extraction a round trip starts with: full paths, handles and every tag.
    const QString extractTemplate = scratch + QStringLiteral("/round-trip.txt");
    writeFile(extractTemplate, "*INPUT\r\n*OUTPUT\r\nBLOCK_HANDLE\r\n*ATTRIBUTE_TAGS\r\n*\r\n");

    out << "drawings: " << names.size() << " in " << drawings << ", "
        << QString::number(static_cast<double>(totalBytes) / 1e6, 'f', 1) << " MB; "
        << targets.size() << " changed values (tag " << tag << "); best of " << repeat << "\n";
    out.flush();

    const QString extractProgram = QStringLiteral(QUILLON_EXTRACT_PROGRAM);
    const QString updateProgram = QStringLiteral(QUILLON_UPDATE_PROGRAM);
    const QString printed = scratch + QStringLiteral("/printed.txt");
    const int expected = static_cast<int>(targets.size());
    Step extract, read, plan, apply, updatePlan, update;
    long engineStartKb = 0;
    qint64 records = 0;
    bool failed = false;
    auto fail = [&](const QString& what) {
        out << "FAILED: " << what << "\n";
        out.flush();
        failed = true;
    };
    // Before any run changes the copies.
    const QString drawingSteps = timeDrawingSteps(targets.front(), scratch, std::max(5, repeat));
    for (int run = 0; run < repeat && !failed; ++run) {
        if (run > 0 && !freshCopies(drawings, names, contents, scratch)) fail("fresh copies");
        const ProgramRun extracted = runProgram(
            extractProgram, {QStringLiteral("--full-path"), extractTemplate, drawings}, printed);
        if (extracted.status != 0) fail(QStringLiteral("quillon-extract"));
        records = lineCount(printed);
        extract.add(extracted.wall, extracted.processor, extracted.peakKb);

        const ProgramRun planned =
            runProgram(updateProgram, {QStringLiteral("--plan"), source}, printed);
        if (planned.status != 0) fail(QStringLiteral("quillon-update --plan"));
        updatePlan.add(planned.wall, planned.processor, planned.peakKb);

        const ProgramRun updated = runProgram(updateProgram, {source}, printed);
        if (updated.status != 0) fail(QStringLiteral("quillon-update"));
        if (verifiedDrawings(targets) != expected) fail(QStringLiteral("quillon-update's values"));
        update.add(updated.wall, updated.processor, updated.peakKb);

        if (!freshCopies(drawings, names, contents, scratch)) fail("fresh copies");
        const EngineRun engine = engineStepsApart(source, printed);
        if (!engine.ok || engine.changes != expected || engine.problems != 0 ||
            engine.written != expected || engine.failed != 0 || !engine.undoWritten) {
            fail(QStringLiteral("planUpdate/applyUpdate: %1 changes, %2 problems, %3 written, "
                                "%4 failed")
                     .arg(engine.changes)
                     .arg(engine.problems)
                     .arg(engine.written)
                     .arg(engine.failed));
        }
        if (verifiedDrawings(targets) != expected) fail(QStringLiteral("applyUpdate's values"));
        engineStartKb = std::max(engineStartKb, engine.startKb);
        read.add(engine.readWall, engine.readProcessor, engine.afterReadKb);
        plan.add(engine.planWall, engine.planProcessor, engine.afterPlanKb);
        apply.add(engine.applyWall, engine.applyProcessor, engine.afterApplyKb);
    }
    if (failed) {
        out << "scratch folder kept: " << scratch << "\n";
        temporary.setAutoRemove(false);
        return 1;
    }

    const double perDrawing = 1000.0 / static_cast<double>(expected);
    auto row = [&](const char* name, const Step& step) {
        out << qSetFieldWidth(44) << Qt::left << name << qSetFieldWidth(10) << Qt::right
            << QString::number(step.wall, 'f', 3) << QString::number(step.wall * perDrawing, 'f', 2)
            << QString::number(step.processor, 'f', 3) << qSetFieldWidth(12)
            << megabytes(step.peakKb) << qSetFieldWidth(0) << "\n";
    };
    out << qSetFieldWidth(44) << Qt::left << "step" << qSetFieldWidth(10) << Qt::right << "wall s"
        << "ms/dwg"
        << "cpu s" << qSetFieldWidth(12) << "peak RSS" << qSetFieldWidth(0) << "\n";
    row("quillon-extract, full path + handle + tags", extract);
    row("quillon-update --plan (process)", updatePlan);
    row("quillon-update, plan + apply (process)", update);
    row("readDelimitedFile + editColumns", read);
    row("planUpdate", plan);
    row("applyUpdate, backups + undo file", apply);
    // What a process that does nothing measures here: the floor under every peak above.
    const ProgramRun nothing =
        runProgram(QStringLiteral("/bin/true"), {}, scratch + QStringLiteral("/true.txt"));
    out << "records extracted: " << records << "; engine steps: peak of their process after "
        << "each step (" << megabytes(engineStartKb) << " at its start); /bin/true measures "
        << megabytes(nothing.peakKb) << "\n"
        << drawingSteps;
    return 0;
}
