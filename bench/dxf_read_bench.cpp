// SPDX-License-Identifier: GPL-3.0-or-later
// Reading speed of the drawing reader, measured the way the extraction engine uses it: open a
// drawing, select the block references of model space and of paper space, read every
// property of each and every attribute's tag and text.
//
// Usage:
//   dxf_read_bench [--repeat N] FILE...     each file: best of N, MB/s and attributes/s
//   dxf_read_bench [--repeat N] --folder DIR   every .dxf of DIR opened in turn: total time

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "drawing/drawing_file_reader.h"
#include "engine/drawing_api/drawing_api.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Processor time of the process: on a machine shared with other work, the best wall time of
// N can still include time spent waiting for a core; processor time does not.
double cpuSecondsSince(std::clock_t start) {
    return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

// What one pass over a drawing found; `checksum` keeps the reads from being optimised away.
struct Tally {
    long blockReferences = 0;
    long attributes = 0;
    double checksum = 0;
    double openSeconds = 0;
    double walkSeconds = 0;
};

[[noreturn]] void fail(const QString& what, const core::Error& error) {
    std::fprintf(stderr, "%s: error %ld: %s\n", qPrintable(what), error.number,
                 qPrintable(error.description));
    std::exit(1);
}

template <typename T>
T take(const core::Result<T>& result, const QString& what) {
    if (!result) fail(what, result.error());
    return result.value();
}

template <typename T>
void add(double& checksum, const core::Result<T>& result) {
    if (!result) {
        checksum += 1;
        return;
    }
    if constexpr (std::is_same_v<T, QString>) {
        checksum += static_cast<double>(result.value().size());
    } else if constexpr (std::is_same_v<T, drawingapi::Point3>) {
        checksum += result.value().x + result.value().y + result.value().z;
    } else {
        checksum += static_cast<double>(result.value());
    }
}

void walk(const drawingapi::BlockReference& ref, Tally& tally) {
    double& sum = tally.checksum;
    add(sum, ref.name());
    add(sum, ref.layer());
    add(sum, ref.hasAttributes());
    add(sum, ref.ownerId());
    add(sum, ref.objectId());
    add(sum, ref.objectName());
    add(sum, ref.handle());
    add(sum, ref.color());
    add(sum, ref.linetype());
    add(sum, ref.rotation());
    add(sum, ref.visible());
    add(sum, ref.xScale());
    add(sum, ref.yScale());
    add(sum, ref.zScale());
    add(sum, ref.linetypeScale());
    add(sum, ref.lineweight());
    add(sum, ref.hasExtensionDictionary());
    add(sum, ref.insertionPoint());
    auto attributes = ref.attributes();
    if (!attributes) {
        sum += 1;
        return;
    }
    for (const auto& attribute : attributes.value()) {
        add(sum, attribute->tag());
        add(sum, attribute->value());
        ++tally.attributes;
    }
}

void listAndWalk(const drawingapi::Drawing& drawing, drawingapi::Space space, const QString& name,
                 Tally& tally) {
    const auto references = take(drawing.blockReferences(space), "block references of " + name);
    for (const auto& reference : references) {
        walk(*reference, tally);
        ++tally.blockReferences;
    }
}

Tally readDrawing(drawingapi::DrawingReader& reader, const QString& path) {
    Tally tally;
    const auto start = Clock::now();
    auto drawing = take(reader.open(path, {}), path);
    tally.openSeconds = secondsSince(start);
    const auto walkStart = Clock::now();
    listAndWalk(*drawing, drawingapi::Space::Model, QStringLiteral("MODEL"), tally);
    listAndWalk(*drawing, drawingapi::Space::Paper, QStringLiteral("PAPER"), tally);
    drawing.reset();
    tally.walkSeconds = secondsSince(walkStart);
    return tally;
}

void benchFile(const QString& path, int repeat) {
    const double megabytes = static_cast<double>(QFileInfo(path).size()) / 1e6;
    auto reader = drawing::createDrawingFileReader();
    Tally best;
    double bestSeconds = 1e300;
    double bestCpu = 1e300;
    for (int run = 0; run < repeat; ++run) {
        const std::clock_t cpuStart = std::clock();
        const Tally tally = readDrawing(*reader, path);
        bestCpu = std::min(bestCpu, cpuSecondsSince(cpuStart));
        const double seconds = tally.openSeconds + tally.walkSeconds;
        if (seconds < bestSeconds) {
            bestSeconds = seconds;
            best = tally;
        }
    }
    std::printf(
        "%s: %.1f MB, %ld block references, %ld attributes; best of %d: %.6f s "
        "(open %.6f s, walk %.6f s): %.0f MB/s, %.0f attributes/s; processor time %.6f s: "
        "%.0f MB/s [checksum %.6g]\n",
        qPrintable(QFileInfo(path).fileName()), megabytes, best.blockReferences, best.attributes,
        repeat, bestSeconds, best.openSeconds, best.walkSeconds, megabytes / bestSeconds,
        static_cast<double>(best.attributes) / bestSeconds, bestCpu, megabytes / bestCpu,
        best.checksum);
}

void benchFolder(const QString& folder, int repeat) {
    QDir dir(folder);
    const QStringList names =
        dir.entryList({QStringLiteral("*.dxf")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    if (names.isEmpty()) {
        std::fprintf(stderr, "%s: no .dxf file\n", qPrintable(folder));
        std::exit(1);
    }
    double megabytes = 0;
    for (const auto& name : names) megabytes += static_cast<double>(QFileInfo(dir, name).size());
    megabytes /= 1e6;
    auto reader = drawing::createDrawingFileReader();
    double bestSeconds = 1e300;
    double bestCpu = 1e300;
    Tally best;
    for (int run = 0; run < repeat; ++run) {
        Tally total;
        const auto start = Clock::now();
        const std::clock_t cpuStart = std::clock();
        for (const auto& name : names) {
            const Tally tally = readDrawing(*reader, dir.filePath(name));
            total.blockReferences += tally.blockReferences;
            total.attributes += tally.attributes;
            total.checksum += tally.checksum;
        }
        const double seconds = secondsSince(start);
        bestCpu = std::min(bestCpu, cpuSecondsSince(cpuStart));
        if (seconds < bestSeconds) {
            bestSeconds = seconds;
            best = total;
        }
    }
    std::printf(
        "%s: %lld drawings, %.1f MB, %ld block references, %ld attributes; best of %d: "
        "%.6f s (%.3f ms a drawing): %.0f MB/s, %.0f attributes/s; processor time %.6f s "
        "[checksum %.6g]\n",
        qPrintable(folder), static_cast<long long>(names.size()), megabytes, best.blockReferences,
        best.attributes, repeat, bestSeconds,
        bestSeconds * 1000 / static_cast<double>(names.size()), megabytes / bestSeconds,
        static_cast<double>(best.attributes) / bestSeconds, bestCpu, best.checksum);
}

int usage() {
    std::fprintf(stderr,
                 "usage: dxf_read_bench [--repeat N] FILE...\n"
                 "       dxf_read_bench [--repeat N] --folder DIR\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int repeat = 5;
    QString folder;
    std::vector<QString> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--repeat" && i + 1 < argc) {
            repeat = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--folder" && i + 1 < argc) {
            folder = QString::fromLocal8Bit(argv[++i]);
        } else if (arg.starts_with("--")) {
            return usage();
        } else {
            files.push_back(QString::fromLocal8Bit(argv[i]));
        }
    }
    if (folder.isEmpty() == files.empty()) return usage();
    if (!folder.isEmpty()) {
        benchFolder(folder, repeat);
    } else {
        for (const auto& file : files) benchFile(file, repeat);
    }
    return 0;
}
