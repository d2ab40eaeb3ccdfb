// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/build_info.h"

namespace about {

QString programVersion() {
    return QStringLiteral(QUILLON_VERSION);
}

int versionMajor() {
    return QUILLON_VERSION_MAJOR;
}

int versionMinor() {
    return QUILLON_VERSION_MINOR;
}

QString contactEmail() {
    return QStringLiteral(QUILLON_CONTACT_EMAIL);
}

QString homepage() {
    return QStringLiteral(QUILLON_HOMEPAGE);
}

}  // namespace about
