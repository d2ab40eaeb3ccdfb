// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/sections.h"

#include "drawing/dwg/byte_order.h"

namespace drawing::dwg {

namespace {

constexpr std::size_t kMaintenanceReleaseAt = 0x0B;
constexpr std::size_t kCodePageAt = 0x13;
constexpr std::size_t kSecurityFlagsAt = 0x18;
constexpr std::uint32_t kEncryptDataFlag = 0x1;

}  // namespace

PlainHeader readPlainHeader(std::string_view file) {
    PlainHeader header;
    header.maintenanceRelease = static_cast<unsigned char>(file[kMaintenanceReleaseAt]);
    header.codePage = le16(file, kCodePageAt);
    header.dataEncrypted = (le32(file, kSecurityFlagsAt) & kEncryptDataFlag) != 0;
    return header;
}

QString passwordProtected() {
    return QStringLiteral("the drawing is password-protected");
}

}  // namespace drawing::dwg
