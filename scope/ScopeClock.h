#pragma once

#include "link/visa/SessionClock.h"

namespace arb
{

// The time the link's deadlines are set and judged against: the clock that
// also bounds the USB conversations. Tests use a clock they can advance.
using ScopeClock = visa::SessionClock;
using SteadyScopeClock = visa::SteadySessionClock;

} // namespace arb
