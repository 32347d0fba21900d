#pragma once

#include <fcntl.h>
#include <filesystem>
#include <stdlib.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace arb::test
{

// A raw pseudo-terminal standing in for a USB instrument's device file:
// the backend opens the slave side through a link at path; the test plays
// the instrument on master().
class PtyDevice
{
  public:
    explicit PtyDevice(const std::filesystem::path &path)
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
            return;
        const std::string slaveName = ptsname(master_);
        // Keeping one slave handle open keeps the terminal raw and alive.
        slave_ = ::open(slaveName.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios t{};
        tcgetattr(slave_, &t);
        cfmakeraw(&t);
        tcsetattr(slave_, TCSANOW, &t);
        std::error_code error;
        std::filesystem::create_symlink(slaveName, path, error);
        made_ = slave_ >= 0 && !error;
    }
    ~PtyDevice()
    {
        if (slave_ >= 0)
            ::close(slave_);
        if (master_ >= 0)
            ::close(master_);
    }
    PtyDevice(const PtyDevice &) = delete;
    PtyDevice &operator=(const PtyDevice &) = delete;

    bool made() const { return made_; }
    int master() const { return master_; }

  private:
    int master_ = -1;
    int slave_ = -1;
    bool made_ = false;
};

} // namespace arb::test
