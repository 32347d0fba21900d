#pragma once

#include "link/visa/SessionClock.h"
#include "link/visa/VisaApi.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace arb::visa
{

// A session on one resource with a resource manager of its own; both are
// closed when it goes. The whole conversation on it has a bound: each read
// and write may take only what is left of it, so an instrument that answers
// a byte at a time cannot hold it for longer.
class VisaSession
{
  public:
    // Opens the session with an I/O timeout of boundMs, the bound measured
    // on clock from now. isOpen() tells whether it worked.
    VisaSession(VisaApi &visa, const std::string &resource, ViUInt32 boundMs, const SessionClock &clock);
    ~VisaSession();
    VisaSession(const VisaSession &) = delete;
    VisaSession &operator=(const VisaSession &) = delete;

    // Opens the session, waiting at most openTimeoutMs for the resource to
    // answer (0: the backend's own time), with an I/O timeout of ioTimeoutMs
    // and no bound on the whole conversation: a long record takes what it
    // takes, each read only its timeout.
    VisaSession(VisaApi &visa, const std::string &resource, ViUInt32 openTimeoutMs, ViUInt32 ioTimeoutMs);

    bool isOpen() const { return vi_ != VI_NULL; }
    // Why the session did not open: the status of the operation that failed.
    ViStatus openStatus() const { return openStatus_; }
    // The session, for the operations this class does not carry.
    ViSession handle() const { return vi_; }

    // Writes one command as SendCommand does. False, and nothing written,
    // once the bound has passed.
    bool send(const std::string &text);

    // One read of up to cnt bytes, appended to out. False when it failed,
    // gave nothing or the bound has passed; ended() tells whether the
    // message has ended.
    bool readSome(std::size_t cnt, std::vector<ViByte> &out);

    // Exactly n bytes, appended to out; false when the message ends or a
    // read fails first.
    bool readExactly(std::size_t n, std::vector<ViByte> &out);

    bool ended() const { return ended_; }

    // The header of a definite-length block: "#", one digit d (1 to 9) and
    // d digits of the length, which is returned; -1 when what comes is not
    // such a header.
    std::int64_t readBlockLength();

  private:
    void open(const std::string &resource, ViUInt32 openTimeoutMs);
    // The session's timeout brought down to what is left of the bound;
    // false when nothing is left or the timeout cannot be set.
    bool withinBound();

    VisaApi &visa_;
    const SessionClock &clock_;
    const qint64 end_;
    // Whether end_ holds: a session opened without a bound has none.
    const bool bounded_ = true;
    // The timeout the session has now.
    ViUInt32 timeoutMs_;
    ViSession rm_ = VI_NULL;
    ViSession vi_ = VI_NULL;
    bool ended_ = false;
    ViStatus openStatus_ = VI_SUCCESS;
};

} // namespace arb::visa
