#pragma once

#include "link/VisaApi.h"

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace arb::visa
{

// The built-in stand-in for a VISA library: it reaches USBTMC instruments
// through the Linux kernel's usbtmc driver. Instruments are listed from
// sysfsRoot and opened as devRoot/usbtmcN. Each command goes out in one
// write(); a reply is read with the session's timeout. Sessions may be used
// from different threads at once; one session by one thread at a time.
class UsbtmcVisa final : public VisaApi
{
  public:
    explicit UsbtmcVisa(std::string sysfsRoot = "/sys/class/usbmisc", std::string devRoot = "/dev");
    ~UsbtmcVisa() override;
    UsbtmcVisa(const UsbtmcVisa &) = delete;
    UsbtmcVisa &operator=(const UsbtmcVisa &) = delete;

    ViStatus viOpenDefaultRM(ViPSession vi) override;
    ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt,
                        ViChar desc[]) override;
    ViStatus viFindNext(ViFindList vi, ViChar desc[]) override;
    ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                    ViPSession vi) override;
    ViStatus viClose(ViObject vi) override;
    ViStatus viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue) override;
    ViStatus viFlush(ViSession vi, ViUInt16 mask) override;
    // Write formats carry no conversions other than "%%".
    ViStatus viVPrintf(ViSession vi, ViConstString writeFmt, ViVAList params) override;
    // Read formats are the "%t" conversions of ParseReadFormat.
    ViStatus viVScanf(ViSession vi, ViConstString readFmt, ViVAList params) override;
    // Through the driver a read ends with the instrument's message. A device
    // file without message ends (a stream) ends a read at a line feed, the
    // termination character; bytes read past it wait for the next read.
    ViStatus viRead(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) override;

  private:
    struct Instrument {
        int fd = -1;
        ViSession rm = VI_NULL;
        ViUInt32 timeoutMs = 2000;
        // The driver applies the timeout itself, and a read returns one
        // whole message.
        bool kernelTimeout = false;
        // Stream bytes read past the end of an earlier read.
        std::string pending;
    };
    struct FindList {
        ViSession rm = VI_NULL;
        std::vector<std::string> names;
        std::size_t next = 0;
    };

    ViObject newHandle() { return nextHandle_++; }
    void applyTimeout(Instrument &instr);
    ViStatus readReply(Instrument &instr, std::string &reply);
    ViStatus readStream(Instrument &instr, ViPBuf buf, std::size_t cnt, std::size_t &got);
    // The open session vi, or null. The session stays where it is until it
    // is closed.
    Instrument *session(ViSession vi);

    std::string sysfsRoot_;
    std::string devRoot_;
    // Guards the handle tables below, not the I/O on a session.
    std::mutex mutex_;
    ViObject nextHandle_ = 1;
    std::set<ViSession> managers_;
    std::map<ViObject, Instrument> instruments_;
    std::map<ViObject, FindList> findLists_;
};

} // namespace arb::visa
