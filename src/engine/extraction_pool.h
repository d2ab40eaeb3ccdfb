// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// An extraction run on several threads. Each thread has a drawing session of its own (the
// session, its reader and the drawing it holds are never shared); what is shared is the list
// of drawings, taken one at a time, and the slots the results go into, one per drawing, each
// written by one thread only. The calling thread waits, shows progress and passes on Cancel,
// then puts the results together in list order: the records, err.log and the counts are those
// a run on one thread gives.

#include "engine/extraction_run.h"

ExtractionRunResult runExtractionOnThreads(const ExtractionRunRequest& request,
                                           const drawingapi::ReaderFactory& factory, int jobs,
                                           ExtractionRunUi& ui, const platform::Clock& clock);
