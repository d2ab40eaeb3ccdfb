// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A search over many drawings on several threads. Each thread has a SearchRun of its own (its
// drawing session, reader and open drawing are never shared); what is shared is the list of
// drawings, taken one at a time, and one slot per drawing for what was found in it, written
// by one thread only. The calling thread hands the slots to the events in drawing order as
// they are filled: the lines, the drawings not opened and the totals are those of a search
// on one thread.

#include "engine/attribute_search.h"

class SearchPool {
public:
    SearchPool(drawingapi::ReaderFactory factory, const platform::Clock& clock, int jobs)
        : m_factory(std::move(factory)), m_clock(clock), m_jobs(jobs < 1 ? 1 : jobs) {}

    void setCriteria(const SearchCriteria& criteria) { m_criteria = criteria; }
    void setFullPath(bool fullPath) { m_fullPath = fullPath; }
    void setDelimiter(const QString& delimiter) { m_delimiter = delimiter; }

    // The events run on the calling thread, as SearchRun::run calls them.
    SearchRun::Totals run(const QStringList& drawings, const SearchRun::Events& events);
    // From an event: no drawing after the current one is handed on.
    void requestAbort() { m_abortRequested = true; }

private:
    drawingapi::ReaderFactory m_factory;
    const platform::Clock& m_clock;
    int m_jobs;
    SearchCriteria m_criteria;
    QString m_delimiter = QStringLiteral(",");
    bool m_fullPath = false;
    bool m_abortRequested = false;
};
