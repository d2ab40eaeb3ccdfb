#pragma once

#include <QString>

namespace platform {

// The folder that holds extract.txt, err.log, attr.htm and faq.fil: the executable's own folder
// when it is writable (portable use), otherwise the per-user data folder, created when missing.
QString programFolder();

}  // namespace platform
