// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gui/qt_settings.h"

namespace platform {

namespace {

QString keyPath(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

}  // namespace

QtSettings::QtSettings()
    : m_settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quillon"),
                 QStringLiteral("Quillon")) {}

QtSettings::QtSettings(const QString& iniPath) : m_settings(iniPath, QSettings::IniFormat) {}

QString QtSettings::get(const QString& section, const QString& key,
                        const QString& defaultValue) const {
    const QVariant value = m_settings.value(keyPath(section, key));
    if (!value.isValid()) return defaultValue;
    // QSettings reads an unquoted comma as a list separator; a hand-edited "Delimiter=," is
    // still the text it was.
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(u',');
    return value.toString();
}

void QtSettings::set(const QString& section, const QString& key, const QString& value) {
    m_settings.setValue(keyPath(section, key), value);
}

void QtSettings::remove(const QString& section, const QString& key) {
    m_settings.remove(key.isEmpty() ? section : keyPath(section, key));
}

bool QtSettings::sync() {
    m_settings.sync();
    return m_settings.status() == QSettings::NoError;
}

}  // namespace platform
