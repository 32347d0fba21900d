#include "scope/LargePages.h"

#include <cstdint>
#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace arb
{

void PreferLargePages(void *data, std::size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kLarge = std::uintptr_t{2} << 20;
    const auto at = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t begin = (at + kLarge - 1) & ~(kLarge - 1);
    const std::uintptr_t end = (at + bytes) & ~(kLarge - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

} // namespace arb
