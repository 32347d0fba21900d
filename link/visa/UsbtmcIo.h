#pragma once

#include <cstddef>
#include <sys/types.h>

namespace arb::visa
{

// The calls the usbtmc backend makes to read from an open device file and
// to set the driver's timeout. System() makes them of the system; a test
// puts its own in place to play the kernel's driver.
class UsbtmcIo
{
  public:
    virtual ~UsbtmcIo() = default;

    // As ::read.
    virtual ssize_t read(int fd, void *buf, std::size_t cnt);
    // As ::ioctl with a pointer argument.
    virtual int ioctl(int fd, unsigned long request, void *arg);

    static UsbtmcIo &System();
};

} // namespace arb::visa
