#pragma once

#include "core/result.h"

namespace office {

using core::Error;
using core::Result;
using core::Status;

}  // namespace office
