// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLatin1String>
#include <utility>

namespace platform {

// A new widget with its object name: windows find their controls, and tests theirs, by name.
template <typename T, typename... Args>
T* named(const char* name, Args&&... args) {
    T* widget = new T(std::forward<Args>(args)...);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

}  // namespace platform
