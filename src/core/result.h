// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <variant>

namespace core {

// What a failed call reports: the error number and its description.
struct Error {
    long number = 0;
    QString description;
};

// A failure as the program reports it: the message, then the reason behind it in brackets
// ("Error opening table Tags. (database is locked)"); the message alone when there is no reason.
inline QString withReason(const QString& message, const QString& reason) {
    return reason.isEmpty() ? message : message + QStringLiteral(" (") + reason + QLatin1Char(')');
}

// A value or the error of the call that should have produced it. The drawing interfaces and
// the office components never throw; the caller decides whether a failure matters.
template <typename T>
class Result {
public:
    Result(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : m_state(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return std::get<0>(m_state); }
    T& value() & { return std::get<0>(m_state); }
    T&& value() && { return std::get<0>(std::move(m_state)); }
    const Error& error() const { return std::get<1>(m_state); }

    T valueOr(T fallback) const { return ok() ? value() : fallback; }

private:
    std::variant<T, Error> m_state;
};

struct Done {};
using Status = Result<Done>;

inline Status success() {
    return Done{};
}

}  // namespace core
