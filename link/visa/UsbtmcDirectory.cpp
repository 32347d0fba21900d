#include "link/visa/UsbtmcDirectory.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <utility>

namespace arb::visa
{

namespace
{

// The number N of a name "usbtmcN", or -1.
long DeviceNumber(const std::string &name)
{
    static const std::string prefix = "usbtmc";
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
        return -1;
    long number = 0;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])) || number > 1000000)
            return -1;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

bool ReadLine(const std::string &path, std::string &line)
{
    std::ifstream in(path);
    if (!in || !std::getline(in, line))
        return false;
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
        line.pop_back();
    return true;
}

// A four-digit hexadecimal id file, as "1ab1".
bool ReadId(const std::string &path, unsigned &id)
{
    std::string text;
    if (!ReadLine(path, text) || text.empty() || text.size() > 4)
        return false;
    id = 0;
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
        id = id * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(c))
                                                 ? c - '0'
                                                 : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
    }
    return true;
}

} // namespace

std::vector<UsbtmcDevice> ListUsbtmcDevices(const std::string &sysfsRoot, const std::string &devRoot)
{
    std::vector<std::pair<long, std::string>> names;
    if (DIR *dir = opendir(sysfsRoot.c_str())) {
        while (const dirent *entry = readdir(dir)) {
            const long number = DeviceNumber(entry->d_name);
            if (number >= 0)
                names.emplace_back(number, entry->d_name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());

    std::vector<UsbtmcDevice> devices;
    for (const auto &[number, name] : names) {
        // device is the interface; the USB device holding the ids is its parent.
        const std::string usb = sysfsRoot + "/" + name + "/device/../";
        unsigned vendor = 0;
        unsigned product = 0;
        if (!ReadId(usb + "idVendor", vendor) || !ReadId(usb + "idProduct", product))
            continue;
        std::string serial;
        ReadLine(usb + "serial", serial);
        char ids[32];
        std::snprintf(ids, sizeof ids, "USB0::0x%04X::0x%04X::", vendor, product);
        devices.push_back({ids + serial + "::INSTR", devRoot + "/" + name});
    }
    return devices;
}

} // namespace arb::visa
