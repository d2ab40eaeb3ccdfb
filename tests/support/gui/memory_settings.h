// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <utility>

#include "platform/services/settings.h"

namespace fake {

// Settings in memory. `writes` counts every set and remove, so a test can check that nothing
// was stored at all.
class MemorySettings : public platform::Settings {
public:
    using Key = std::pair<QString, QString>;  // section, key

    QString get(const QString& section, const QString& key,
                const QString& defaultValue = {}) const override {
        const auto it = values.find({section, key});
        return it == values.end() ? defaultValue : it->second;
    }
    void set(const QString& section, const QString& key, const QString& value) override {
        values[{section, key}] = value;
        ++writes;
    }
    void remove(const QString& section, const QString& key = {}) override {
        ++writes;
        if (!key.isEmpty()) {
            values.erase({section, key});
            return;
        }
        std::erase_if(values, [&](const auto& entry) { return entry.first.first == section; });
    }

    std::map<Key, QString> values;
    int writes = 0;
};

}  // namespace fake
