// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Marks a long operation (an extraction run, a drawing list, a send) as running for as long as
// it lives, on every way out. Pending events run inside such an operation, so a second click
// can arrive: an operation begun while another runs does not start.
class OperationGuard {
public:
    explicit OperationGuard(bool& busy) : m_busy(busy), m_started(!busy) {
        if (m_started) m_busy = true;
    }
    ~OperationGuard() {
        if (m_started) m_busy = false;
    }
    OperationGuard(const OperationGuard&) = delete;
    OperationGuard& operator=(const OperationGuard&) = delete;

    bool started() const { return m_started; }

private:
    bool& m_busy;
    bool m_started;
};
