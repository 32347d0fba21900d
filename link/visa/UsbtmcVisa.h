#pragma once

#include "link/visa/UsbtmcIo.h"
#include "link/visa/VisaApi.h"

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
// write(); a reply is read with the session's timeout. Each session keeps
// what the device gave beyond the current read in one read buffer, which
// both the formatted and the raw read take from first. Sessions may be used
// from different threads at once; one session by one thread at a time.
class UsbtmcVisa final : public VisaApi
{
  public:
    // Reads and the driver's timeout go through io, which must outlive the
    // backend.
    explicit UsbtmcVisa(std::string sysfsRoot = "/sys/class/usbmisc", std::string devRoot = "/dev",
                        UsbtmcIo &io = UsbtmcIo::System());
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
    // VI_READ_BUF_DISCARD empties the session's read buffer; writes are
    // never buffered.
    ViStatus viFlush(ViSession vi, ViUInt16 mask) override;
    // Write formats carry no conversions other than "%%".
    ViStatus viVPrintf(ViSession vi, ViConstString writeFmt, ViVAList params) override;
    // Read formats are the "%t" conversions of ParseReadFormat. A reply ends
    // at its first line feed, or where the instrument's message ends; what
    // follows waits in the read buffer.
    ViStatus viVScanf(ViSession vi, ViConstString readFmt, ViVAList params) override;
    // Through the driver a read ends with the instrument's message. A device
    // file without message ends (a stream) ends a read at a line feed, the
    // termination character; bytes read past it wait in the read buffer.
    ViStatus viRead(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) override;

  private:
    struct Instrument {
        int fd = -1;
        ViSession rm = VI_NULL;
        ViUInt32 timeoutMs = 2000;
        // The driver applies the timeout itself, and a read ends early
        // only at the end of the instrument's message.
        bool kernelTimeout = false;
        // The read buffer: bytes the device gave past the end of the reads
        // that took from it so far.
        std::string pending;
        // Through the driver: the instrument's message ends with the last
        // byte of pending.
        bool pendingEndsMessage = false;
    };
    struct FindList {
        ViSession rm = VI_NULL;
        std::vector<std::string> names;
        std::size_t next = 0;
    };

    class ReadDeadline;

    ViObject newHandle() { return nextHandle_++; }
    void applyTimeout(Instrument &instr);
    // One read from the device of at most most bytes, appended to the read
    // buffer.
    ViStatus fetch(Instrument &instr, const ReadDeadline &deadline, std::size_t most);
    // Through the driver, straight into buf.
    ViStatus readFromDriver(int fd, void *buf, std::size_t cnt, std::size_t &got);
    // The first n bytes of the read buffer, taken out of it.
    static std::string takePending(Instrument &instr, std::size_t n);
    ViStatus readReply(Instrument &instr, std::string &reply);
    ViStatus readMessage(Instrument &instr, ViPBuf buf, std::size_t cnt, std::size_t &got);
    ViStatus readStream(Instrument &instr, ViPBuf buf, std::size_t cnt, std::size_t &got);
    // The open session vi, or null. The session stays where it is until it
    // is closed.
    Instrument *session(ViSession vi);

    std::string sysfsRoot_;
    std::string devRoot_;
    UsbtmcIo &io_;
    // Guards the handle tables below, not the I/O on a session.
    std::mutex mutex_;
    ViObject nextHandle_ = 1;
    std::set<ViSession> managers_;
    std::map<ViObject, Instrument> instruments_;
    std::map<ViObject, FindList> findLists_;
};

} // namespace arb::visa
