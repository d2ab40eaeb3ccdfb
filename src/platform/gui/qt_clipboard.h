// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/services/clipboard.h"

namespace platform {

class QtClipboard : public Clipboard {
public:
    void clear() override;
    void setText(const QString& text) override;
    QString text() const override;
};

}  // namespace platform
