// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/automation/automation.h"

namespace drawing {

// A drawing application backed by our own drawing reader: "starting" it creates a reader
// session; Documents.Open reads and indexes a drawing file.
std::shared_ptr<acad::Application> createReaderApplication();

// The factory the engine's sessions are given in the program.
acad::ApplicationFactory readerApplicationFactory();

}  // namespace drawing
