// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

// The user's persisted settings: text values by section and key.
class Settings {
public:
    virtual ~Settings() = default;

    virtual QString get(const QString& section, const QString& key,
                        const QString& defaultValue = {}) const = 0;
    virtual void set(const QString& section, const QString& key, const QString& value) = 0;
    // An empty key removes the whole section.
    virtual void remove(const QString& section, const QString& key = {}) = 0;
};

}  // namespace platform
