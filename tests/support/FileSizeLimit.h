#pragma once

#include <csignal>
#include <sys/resource.h>

namespace arb::test
{

// While it lives, no file this process writes may grow beyond the given
// number of bytes: a write past it fails with EFBIG, as on a disk with only
// that much room left, for any user and on any file system. SIGXFSZ, which
// would end the process instead, is ignored meanwhile. The old limit and the
// old handling of the signal come back when it goes.
class FileSizeLimit
{
  public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        ::sigaction(SIGXFSZ, &ignore, &oldAction_);
        ::getrlimit(RLIMIT_FSIZE, &oldLimit_);
        rlimit limit = oldLimit_;
        limit.rlim_cur = bytes;
        set_ = bytes <= oldLimit_.rlim_max && ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &oldLimit_);
        ::sigaction(SIGXFSZ, &oldAction_, nullptr);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    // False when the limit could not be lowered (it never fails for a limit
    // below the hard one).
    bool set() const { return set_; }

  private:
    struct sigaction oldAction_ = {};
    rlimit oldLimit_ = {};
    bool set_ = false;
};

} // namespace arb::test
