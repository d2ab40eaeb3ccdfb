// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How the spreadsheet and document destinations reach their program and choose the file to
// write: the running program if there is one, else a new one; then the named file (the active
// one when it is that file in any letter case), or with no name the active file, else a new one.

#include <QString>
#include <functional>
#include <memory>

#include "core/result.h"

namespace output {

template <typename Program, typename File>
struct OfficeLink {
    std::shared_ptr<Program> program;
    std::shared_ptr<File> file;  // empty when the file could not be opened or made
};

template <typename Program, typename File>
struct FileOperations {
    std::function<office::Result<std::shared_ptr<File>>(Program&, const QString&)> open;
    std::function<office::Result<std::shared_ptr<File>>(Program&)> add;
    std::function<office::Result<int>(Program&)> count;
    std::function<office::Result<std::shared_ptr<File>>(Program&)> active;
};

template <typename Program, typename File>
office::Result<OfficeLink<Program, File>> linkTo(
    const std::function<office::Result<std::shared_ptr<Program>>()>& running,
    const std::function<office::Result<std::shared_ptr<Program>>(const QString&)>& start,
    const QString& newFileFolder, const FileOperations<Program, File>& operations,
    const QString& path) {
    bool started = false;
    auto connected = running();
    if (!connected || !connected.value()) {
        connected = start(newFileFolder);
        started = true;
    }
    if (!connected) return connected.error();
    if (!connected.value()) return office::Error{};
    OfficeLink<Program, File> link{connected.value(), nullptr};
    Program& program = *link.program;
    if (started) {
        link.file = (path.isEmpty() ? operations.add(program) : operations.open(program, path))
                        .valueOr(nullptr);
    } else if (!path.isEmpty()) {
        auto active = operations.active(program).valueOr(nullptr);
        const bool same =
            active && active->FullName().valueOr({}).compare(path, Qt::CaseInsensitive) == 0;
        link.file = same ? active : operations.open(program, path).valueOr(nullptr);
    } else {
        link.file = operations.count(program).valueOr(0) != 0
                        ? operations.active(program).valueOr(nullptr)
                        : operations.add(program).valueOr(nullptr);
    }
    return link;
}

}  // namespace output
