// SPDX-License-Identifier: GPL-3.0-or-later
// One attribute value written into each drawing AutoCAD saved (R13 to R2018), beside the same
// change written into its DXF twin: the check a plan makes, the writer alone, and the writer
// with the read-back that applying does before a new file takes a drawing's place. Best of N runs
// each, per drawing and per MB.
//   build-bench/bench/dwg_write_bench [--repeat N] [DRAWINGS_DIR]
// DRAWINGS_DIR holds autocad/example_*.dwg and their .dxf.gz twins (default: the tests' data).

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string_view>

#include "drawing/attribute_value_writer.h"
#include "drawing/dxf_reader.h"

namespace {

using Clock = std::chrono::steady_clock;

QByteArray load(const QString& path) {
    if (path.endsWith(QLatin1String(".gz"))) {
        QProcess gzip;
        gzip.start(QStringLiteral("gzip"), {QStringLiteral("-dc"), path});
        gzip.waitForFinished(-1);
        return gzip.readAllStandardOutput();
    }
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::string_view viewOf(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

struct Timing {
    double check = 1e9;  // seconds, best run: what a plan spends on the drawing's values
    double write = 1e9;
    double writeRead = 1e9;  // the write and the read-back
    bool ok = false;
};

// The first attribute of the drawing gets a new value, `repeat` times.
Timing time(const QByteArray& bytes, int repeat) {
    Timing timing;
    const auto drawing = drawing::readDrawingBytes(viewOf(bytes));
    if (!drawing || drawing.value()->attributes.empty()) return timing;
    const auto& attribute = drawing.value()->attributes.front();
    const std::vector<drawing::AttributeValueEdit> edits = {
        {{attribute.handle.toQString(), 0}, attribute.text + QStringLiteral(" (rev. B)")}};
    for (int i = 0; i < repeat; ++i) {
        const auto checkStart = Clock::now();
        if (!drawing::checkAttributeValues(bytes, edits)) return timing;
        timing.check = std::min(timing.check,
                                std::chrono::duration<double>(Clock::now() - checkStart).count());
        const auto start = Clock::now();
        const auto written = drawing::rewriteAttributeValues(bytes, edits);
        const auto wrote = Clock::now();
        if (!written) {
            std::fprintf(stderr, "not written: %s\n", qPrintable(written.error().description));
            return timing;
        }
        const auto back = drawing::readDrawingBytes(viewOf(written.value()));
        const auto end = Clock::now();
        if (!back || back.value()->attributes.front().text != edits.front().value) return timing;
        timing.write = std::min(timing.write, std::chrono::duration<double>(wrote - start).count());
        timing.writeRead =
            std::min(timing.writeRead, std::chrono::duration<double>(end - start).count());
    }
    timing.ok = true;
    return timing;
}

void report(const char* name, const char* kind, const QByteArray& bytes, const Timing& t) {
    const double mb = static_cast<double>(bytes.size()) / 1e6;
    if (!t.ok) {
        std::printf("| %s | %s | %.2f | | not written | | |\n", name, kind, mb);
        return;
    }
    std::printf("| %s | %s | %.2f | %.1f | %.1f | %.1f | %.1f |\n", name, kind, mb, t.check * 1e3,
                t.write * 1e3, t.writeRead * 1e3, t.writeRead * 1e3 / mb);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int repeat = 5;
    if (const qsizetype at = args.indexOf(QStringLiteral("--repeat"));
        at >= 0 && at + 1 < args.size()) {
        repeat = std::max(1, args[at + 1].toInt());
        args.remove(at, 2);
    }
    const QString folder =
        args.isEmpty() ? QStringLiteral(QUILLON_TEST_DRAWINGS_DIR) : args.front();
    std::printf(
        "| drawing | file | MB | plan's check ms | write ms | write + read back ms | ms per MB "
        "|\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    for (const char* name : {"example_r13", "example_r14", "example_2000", "example_2004",
                             "example_2007", "example_2010", "example_2013", "example_2018"}) {
        const QString base = folder + QStringLiteral("/autocad/") + QLatin1StringView(name);
        const QByteArray dwg = load(base + QStringLiteral(".dwg"));
        const QByteArray dxf = load(base + QStringLiteral(".dxf.gz"));
        report(name, "DWG", dwg, time(dwg, repeat));
        report(name, "DXF twin", dxf, time(dxf, repeat));
    }
    return 0;
}
