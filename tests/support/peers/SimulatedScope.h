#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace arb::test
{

// An oscilloscope of one maker as a capture sees it: it takes the setting
// commands of its maker's command set, answers its queries, and answers
// nothing else (a command outside the set is recorded as unexpected). The
// record is data, one byte per point. Tests change the replies to play a
// faulty instrument.
class SimulatedScope
{
  public:
    // TEKTRONIX: YMUlt, YOFf, YZEro as given, record length data.size().
    static SimulatedScope Tektronix(int channel, std::string data, double ymult = 0.04, double yoff = 10,
                                    double yzero = 0.5);
    // RIGOL TECHNOLOGIES and KEYSIGHT TECHNOLOGIES: a preamble with these
    // yincrement, yorigin and yreference.
    static SimulatedScope Rigol(int channel, std::string data, double yincrement = 0.02, double yorigin = -3,
                                double yreference = 127);
    static SimulatedScope Keysight(int channel, std::string data, double yincrement = 0.01,
                                   double yorigin = 0.25, double yreference = 128);
    // SIGLENT TECHNOLOGIES with VDIV and OFST as given.
    static SimulatedScope Siglent(int channel, std::string data, double vdiv = 0.5, double ofst = -0.1);

    // "#" d n and data.
    static std::string Block(const std::string &data);

    // The reply to command (without its line end), or null for a setting
    // and for anything outside the set. It stays valid until the reply is
    // set again.
    const std::string *answer(const std::string &command);

    // The reply of query, as it will be sent (line end and all).
    void setReply(const std::string &query, std::string reply) { replies_[query] = std::move(reply); }
    const std::string &reply(const std::string &query) const { return replies_.at(query); }

    std::vector<std::string> commands() const;
    std::vector<std::string> unexpected() const;
    // The query whose reply holds the block.
    const std::string &blockQuery() const { return blockQuery_; }

  private:
    std::set<std::string> settings_;
    std::map<std::string, std::string> replies_;
    std::string blockQuery_;
    // Shared by the copies a factory hands out; the server's thread and the
    // test read the records at once.
    std::shared_ptr<std::mutex> mutex_ = std::make_shared<std::mutex>();
    std::vector<std::string> commands_;
    std::vector<std::string> unexpected_;
};

} // namespace arb::test
