// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/services/clipboard.h"

namespace fake {

// A clipboard that is just a string, counting how it was changed.
class MemoryClipboard : public platform::Clipboard {
public:
    void clear() override {
        contents.clear();
        ++clears;
    }
    void setText(const QString& text) override {
        contents = text;
        ++sets;
    }
    QString text() const override { return contents; }

    QString contents;
    int clears = 0;
    int sets = 0;
};

}  // namespace fake
