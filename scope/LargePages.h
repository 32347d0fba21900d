#pragma once

#include <cstddef>

namespace arb
{

// Asks the system to back the memory [data, data + bytes) with large pages
// (2 MiB on x86-64) where it can, so that a record of millions of points
// fills with a few dozen page faults instead of one per 4 KiB. Only advice:
// nothing changes where the system does not take it.
void PreferLargePages(void *data, std::size_t bytes);

} // namespace arb
