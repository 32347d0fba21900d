#include "link/visa/UsbtmcIo.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace arb::visa
{

ssize_t UsbtmcIo::read(int fd, void *buf, std::size_t cnt)
{
    return ::read(fd, buf, cnt);
}

int UsbtmcIo::ioctl(int fd, unsigned long request, void *arg)
{
    return ::ioctl(fd, request, arg);
}

UsbtmcIo &UsbtmcIo::System()
{
    static UsbtmcIo io;
    return io;
}

} // namespace arb::visa
