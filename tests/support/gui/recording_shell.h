// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <vector>

#include "platform/services/shell.h"

namespace fake {

// Records what would have been started; `succeeds` decides what every call reports.
class RecordingShell : public platform::Shell {
public:
    struct Call {
        enum class Kind { TextEditor, Document, Url };
        Kind kind;
        QString target;
        bool operator==(const Call&) const = default;
    };

    bool openInTextEditor(const QString& path) override {
        return record(Call::Kind::TextEditor, path);
    }
    bool openDocument(const QString& path) override { return record(Call::Kind::Document, path); }
    bool openUrl(const QString& url) override { return record(Call::Kind::Url, url); }

    std::vector<Call> calls;
    bool succeeds = true;

private:
    bool record(Call::Kind kind, const QString& target) {
        calls.push_back({kind, target});
        return succeeds;
    }
};

}  // namespace fake
