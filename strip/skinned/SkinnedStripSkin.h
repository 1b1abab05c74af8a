// The strip's look: the skin layer that draws the strip and its rows from the
// program's own pictures through the skin module.
#pragma once

#include <memory>

#include "strip/Strip.h"

namespace strip {

// Reads the rows' controls and `StripTextColor` from `strip`, which must
// outlive it. Every operation runs on the window thread.
std::unique_ptr<StripSkin> MakeSkinnedStripSkin(StripState& strip);

}  // namespace strip
