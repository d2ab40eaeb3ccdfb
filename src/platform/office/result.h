#pragma once

// The office components report failures the way the drawing application does: a value, or an
// error number with its description.

#include "engine/autocad/result.h"

namespace platform::office {

using acad::Error;
using acad::Result;
using acad::Status;

}  // namespace platform::office
