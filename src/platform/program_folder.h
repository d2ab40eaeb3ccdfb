// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

// Names the running program as Quillon, its version QUILLON_VERSION. Every program sets the
// same names, so they share one per-user data folder and one settings file. Call it after the
// application object is made.
void nameTheProgram();

// The folder that holds extract.txt, err.log, attr.htm and faq.fil: the executable's own folder
// when it is writable and not an installed copy (portable use, the build tree), otherwise the
// per-user data folder, created when missing and given a copy of the shipped faq.fil.
QString programFolder();

// The same choice for a given executable folder and per-user data folder. An installed copy
// (faq.fil in ../share/quillon/, not beside the executable) never writes among the programs,
// even under a prefix the user owns.
QString programFolderFor(const QString& executableFolder, const QString& userDataFolder);

// The faq.fil the programs ship with: beside the executable (build tree, portable copy), else in
// share/quillon/ beside the executable's bin/ folder (installed copy); empty when neither exists.
QString shippedFaqFile(const QString& executableFolder);

}  // namespace platform
