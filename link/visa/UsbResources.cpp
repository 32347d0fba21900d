#include "link/visa/UsbResources.h"

#include "link/visa/VisaCommands.h"

#include <algorithm>
#include <iterator>

namespace arb::visa
{

namespace
{

// Most names one find walks.
constexpr ViUInt32 kMaxResources = 1024;

} // namespace

ViStatus FindUsbResources(VisaApi &visa, ViSession rm, std::vector<std::string> &names)
{
    names.clear();
    ViFindList list = VI_NULL;
    ViUInt32 count = 0;
    // The library may fill up to VI_FIND_BUFLEN characters; one more keeps
    // a NUL after them whatever it writes.
    ViChar desc[VI_FIND_BUFLEN + 1] = {};
    const ViStatus found = visa.viFindRsrc(rm, "?*INSTR", &list, &count, desc);
    if (Failed(found))
        return found;
    const ViUInt32 walk = std::min<ViUInt32>(count, kMaxResources);
    for (ViUInt32 k = 0; k < walk; ++k) {
        std::string name = ResourceNameFrom(desc);
        if (name.compare(0, 3, "USB") == 0)
            names.push_back(std::move(name));
        std::fill(std::begin(desc), std::end(desc), '\0');
        visa.viFindNext(list, desc);
    }
    return found;
}

std::vector<std::string> ListUsbResources(VisaApi &visa)
{
    std::vector<std::string> names;
    ViSession rm = VI_NULL;
    if (Failed(visa.viOpenDefaultRM(&rm)))
        return names;
    FindUsbResources(visa, rm, names);
    // The find list goes with its manager.
    visa.viClose(rm);
    return names;
}

} // namespace arb::visa
