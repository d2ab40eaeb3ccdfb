// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/result.h"

namespace office {

using core::Error;
using core::Result;
using core::Status;

}  // namespace office
