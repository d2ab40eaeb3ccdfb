// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-ins until the paged and R2007 containers can be written.
#include "drawing/dwg/section_writer.h"

namespace drawing::dwg {

namespace {

std::optional<std::string> notYet(std::string_view file, QString& problem) {
    problem = QStringLiteral("writing DWG release %1 is not supported yet")
                  .arg(QString::fromLatin1(file.substr(0, 6).data(),
                                           static_cast<qsizetype>(file.substr(0, 6).size())));
    return std::nullopt;
}

}  // namespace

std::optional<std::string> rewritePagedFile(std::string_view file, const ChangedSections&,
                                            QString& problem) {
    return notYet(file, problem);
}

std::optional<std::string> rewriteR2007File(std::string_view file, const ChangedSections&,
                                            QString& problem) {
    return notYet(file, problem);
}

}  // namespace drawing::dwg
