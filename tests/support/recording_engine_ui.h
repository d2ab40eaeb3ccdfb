// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <vector>

#include "engine/engine_ui.h"

namespace fake {

// Counts event processing and records every error box the engine shows.
class RecordingEngineUi : public EngineUi {
public:
    struct Box {
        QString caption;
        QString text;
    };
    void processPendingEvents() override { ++pendingEventRuns; }
    void showError(const QString& caption, const QString& text) override {
        errors.push_back({caption, text});
    }
    int pendingEventRuns = 0;
    std::vector<Box> errors;
};

}  // namespace fake
