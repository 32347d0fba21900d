#pragma once

#include <cstdlib>
#include <cstring>

namespace arb::test
{

// A test that cannot run here (no pseudo-terminal, no compiler, no
// permission to drop) normally reports a skip. On a machine that must run
// everything (ARB_STRICT_TESTS=1, as continuous integration sets it) the
// same condition is a failure, so a check never silently stops checking.
inline bool StrictTests()
{
    const char *value = std::getenv("ARB_STRICT_TESTS");
    return value && std::strcmp(value, "1") == 0;
}

} // namespace arb::test

// GoogleTest: skip with reason (anything a stream takes), or fail with it
// under ARB_STRICT_TESTS=1.
#define ARB_SKIP_UNLESS_STRICT(reason)                                                                       \
    do {                                                                                                     \
        if (::arb::test::StrictTests())                                                                      \
            GTEST_FAIL() << "ARB_STRICT_TESTS=1 forbids skipping: " << (reason);                             \
        GTEST_SKIP() << (reason);                                                                            \
    } while (false)

// Qt Test: the same, with a fixed reason.
#define ARB_QSKIP_UNLESS_STRICT(reason)                                                                      \
    do {                                                                                                     \
        if (::arb::test::StrictTests())                                                                      \
            QFAIL("ARB_STRICT_TESTS=1 forbids skipping: " reason);                                           \
        QSKIP(reason);                                                                                       \
    } while (false)
