// Internal to the headless host: the names under which headless objects raise their events.
// The guard itself is shared by every host (host/event_depth.h).
#pragma once

#include "host/event_depth.h"

namespace kestrinx::headless::detail {

using host::detail::EventDepth;
using host::detail::kMaxEventDepth;
using host::detail::raiseEvent;

}  // namespace kestrinx::headless::detail
