// The strip skin of plain controls that the strip's tests plug in.
#pragma once

#include <memory>

#include "strip/Strip.h"

namespace strip_testing {

std::unique_ptr<strip::StripSkin> MakePlainStripSkin(strip::StripState& strip);

}  // namespace strip_testing
