// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

// The system clipboard, plain text only.
class Clipboard {
public:
    virtual ~Clipboard() = default;

    virtual void clear() = 0;
    virtual void setText(const QString& text) = 0;
    virtual QString text() const = 0;
};

}  // namespace platform
