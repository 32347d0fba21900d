#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace arb::test
{

// A sysfs tree as the kernel lays it out, in a folder of its own that goes
// with the object: usbmisc/usbtmcN/device links to the USB interface, whose
// parent directory is the USB device with the ids. The device files go in
// dev(); the backend is pointed at usbmisc() and dev().
class UsbtmcSysfsTree
{
  public:
    UsbtmcSysfsTree()
    {
        char pattern[] = "/tmp/usbtmc-test-XXXXXX";
        if (!mkdtemp(pattern))
            return;
        root_ = pattern;
        std::filesystem::create_directories(usbmisc());
        std::filesystem::create_directories(dev());
    }
    ~UsbtmcSysfsTree()
    {
        if (!root_.empty())
            std::filesystem::remove_all(root_);
    }
    UsbtmcSysfsTree(const UsbtmcSysfsTree &) = delete;
    UsbtmcSysfsTree &operator=(const UsbtmcSysfsTree &) = delete;

    bool made() const { return !root_.empty(); }
    const std::filesystem::path &root() const { return root_; }
    std::filesystem::path usbmisc() const { return root_ / "usbmisc"; }
    std::filesystem::path dev() const { return root_ / "dev"; }

    // A device under usbtmc<number>; an empty serial leaves out the file.
    void addDevice(int number, const std::string &vendor, const std::string &product,
                   const std::string &serial) const
    {
        const std::filesystem::path usb = root_ / "devices" / ("1-" + std::to_string(number));
        std::filesystem::create_directories(usb / "iface");
        WriteFile(usb / "idVendor", vendor + "\n");
        WriteFile(usb / "idProduct", product + "\n");
        if (!serial.empty())
            WriteFile(usb / "serial", serial + "\n");
        const std::filesystem::path entry = usbmisc() / ("usbtmc" + std::to_string(number));
        std::filesystem::create_directories(entry);
        std::filesystem::create_directory_symlink(usb / "iface", entry / "device");
    }

    static void WriteFile(const std::filesystem::path &path, const std::string &text)
    {
        std::ofstream(path) << text;
    }

  private:
    std::filesystem::path root_;
};

} // namespace arb::test
