// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>

#include "platform/services/settings.h"

namespace platform {

// Settings in an INI file: sections are INI groups and every value is stored as text.
class QtSettings : public Settings {
public:
    // The user's own file for organisation and application "Quillon".
    QtSettings();
    // A given file, for tests and portable use.
    explicit QtSettings(const QString& iniPath);

    QString get(const QString& section, const QString& key,
                const QString& defaultValue = {}) const override;
    void set(const QString& section, const QString& key, const QString& value) override;
    void remove(const QString& section, const QString& key = {}) override;

    QString fileName() const { return m_settings.fileName(); }
    // Writes pending changes now; they are written on destruction anyway.
    bool sync();

private:
    mutable QSettings m_settings;
};

}  // namespace platform
