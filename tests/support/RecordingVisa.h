#pragma once

#include "link/visa/VisaApi.h"
#include "link/visa/VisaFormat.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace arb::test
{

// A VISA layer in the test process that records every call and answers
// from what the test set up: the resources a find reports, the reply of a
// read and the failures to give.
class RecordingVisa final : public visa::VisaApi
{
  public:
    using ViSession = visa::ViSession;
    using ViStatus = visa::ViStatus;

    std::vector<std::string> resources;
    std::string reply;
    ViStatus openRMStatus = visa::VI_SUCCESS;
    ViStatus findStatus = visa::VI_SUCCESS;
    ViStatus openStatus = visa::VI_SUCCESS;
    ViStatus timeoutStatus = visa::VI_SUCCESS;
    ViStatus serialAttrStatus = visa::VI_SUCCESS;
    // Whether the size of a "%#t" read counts the NUL.
    visa::SizeCountsNul sizeCountsNul = visa::SizeCountsNul::Yes;
    // What viRead gives, message by message: a read takes up to its count
    // of the first message and ends (END) with its last byte. With no
    // message left a read gives readEmptyStatus.
    std::deque<std::string> messages;
    ViStatus readEmptyStatus = visa::VI_ERROR_TMO;

    // Every call, as "viName arguments".
    std::vector<std::string> calls;
    // What each write put on the wire (the format expanded).
    std::vector<std::string> written;
    // Handles given out and not yet closed.
    std::set<ViSession> open;
    // Closes of a handle that was neither open nor VI_NULL.
    int staleCloses = 0;

    void clearRecords()
    {
        calls.clear();
        written.clear();
    }
    int count(const std::string &prefix) const
    {
        int n = 0;
        for (const std::string &c : calls)
            n += c.compare(0, prefix.size(), prefix) == 0;
        return n;
    }

    ViStatus viOpenDefaultRM(visa::ViPSession vi) override
    {
        calls.push_back("viOpenDefaultRM");
        if (visa::Failed(openRMStatus))
            return openRMStatus;
        *vi = next_++;
        open.insert(*vi);
        managers_.insert(*vi);
        return visa::VI_SUCCESS;
    }
    ViStatus viFindRsrc(ViSession sesn, visa::ViConstString expr, visa::ViPFindList vi,
                        visa::ViPUInt32 retCnt, visa::ViChar desc[]) override
    {
        calls.push_back("viFindRsrc " + std::to_string(sesn) + " " + expr);
        if (visa::Failed(findStatus))
            return findStatus;
        if (resources.empty())
            return visa::VI_ERROR_RSRC_NFOUND;
        *vi = next_++;
        lists_[*vi] = 1;
        *retCnt = static_cast<visa::ViUInt32>(resources.size());
        copy(resources[0], desc);
        return visa::VI_SUCCESS;
    }
    ViStatus viFindNext(visa::ViFindList vi, visa::ViChar desc[]) override
    {
        calls.push_back("viFindNext " + std::to_string(vi));
        auto it = lists_.find(vi);
        if (it == lists_.end() || it->second >= resources.size())
            return visa::VI_ERROR_RSRC_NFOUND;
        copy(resources[it->second++], desc);
        return visa::VI_SUCCESS;
    }
    ViStatus viOpen(ViSession sesn, visa::ViConstRsrc name, visa::ViAccessMode mode, visa::ViUInt32 timeout,
                    visa::ViPSession vi) override
    {
        calls.push_back("viOpen " + std::to_string(sesn) + " " + name + " " + std::to_string(mode) + " " +
                        std::to_string(timeout));
        if (visa::Failed(openStatus) || !managers_.count(sesn))
            return visa::Failed(openStatus) ? openStatus : visa::VI_ERROR_INV_OBJECT;
        *vi = next_++;
        open.insert(*vi);
        owner_[*vi] = sesn;
        return visa::VI_SUCCESS;
    }
    ViStatus viClose(visa::ViObject vi) override
    {
        calls.push_back("viClose " + std::to_string(vi));
        if (vi == visa::VI_NULL)
            return visa::VI_WARN_NULL_OBJECT;
        if (!open.erase(vi)) {
            ++staleCloses;
            return visa::VI_ERROR_INV_OBJECT;
        }
        if (managers_.erase(vi)) {
            for (auto it = owner_.begin(); it != owner_.end();) {
                if (it->second == vi) {
                    open.erase(it->first);
                    it = owner_.erase(it);
                } else {
                    ++it;
                }
            }
        }
        owner_.erase(vi);
        return visa::VI_SUCCESS;
    }
    ViStatus viSetAttribute(visa::ViObject vi, visa::ViAttr attr, visa::ViAttrState value) override
    {
        calls.push_back("viSetAttribute " + std::to_string(vi) + " " + hex(attr) + " " +
                        std::to_string(value));
        if (!open.count(vi))
            return visa::VI_ERROR_INV_OBJECT;
        return attr == visa::VI_ATTR_TMO_VALUE ? timeoutStatus : serialAttrStatus;
    }
    ViStatus viFlush(ViSession vi, visa::ViUInt16 mask) override
    {
        calls.push_back("viFlush " + std::to_string(vi) + " " + std::to_string(mask));
        return open.count(vi) ? visa::VI_SUCCESS : visa::VI_ERROR_INV_OBJECT;
    }
    ViStatus viVPrintf(ViSession vi, visa::ViConstString writeFmt, visa::ViVAList) override
    {
        calls.push_back("viVPrintf " + std::to_string(vi));
        std::string bytes;
        const ViStatus status = visa::ExpandWriteFormat(writeFmt, bytes);
        written.push_back(visa::Failed(status) ? std::string("<bad format>") : bytes);
        writtenTo.push_back(vi);
        return open.count(vi) ? status : visa::VI_ERROR_INV_OBJECT;
    }
    ViStatus viVScanf(ViSession vi, visa::ViConstString readFmt, visa::ViVAList params) override
    {
        calls.push_back("viVScanf " + std::to_string(vi) + " " + readFmt);
        // Only VISA's own "%t" conversions are understood.
        visa::ReadFormat parsed;
        if (const ViStatus status = visa::ParseReadFormat(readFmt, parsed); visa::Failed(status))
            return status;
        if (!open.count(vi))
            return visa::VI_ERROR_INV_OBJECT;
        visa::ScanReply(parsed, reply, params, sizeCountsNul);
        return visa::VI_SUCCESS;
    }

    ViStatus viRead(ViSession vi, visa::ViPBuf buf, visa::ViUInt32 cnt, visa::ViPUInt32 retCnt) override
    {
        calls.push_back("viRead " + std::to_string(vi) + " " + std::to_string(cnt));
        *retCnt = 0;
        if (!open.count(vi))
            return visa::VI_ERROR_INV_OBJECT;
        if (messages.empty())
            return readEmptyStatus;
        std::string &message = messages.front();
        const std::size_t n = std::min<std::size_t>(cnt, message.size());
        std::memcpy(buf, message.data(), n);
        message.erase(0, n);
        *retCnt = static_cast<visa::ViUInt32>(n);
        if (!message.empty())
            return visa::VI_SUCCESS_MAX_CNT;
        messages.pop_front();
        return visa::VI_SUCCESS;
    }

    // The session each write went to.
    std::vector<ViSession> writtenTo;

  private:
    static void copy(const std::string &name, visa::ViChar desc[])
    {
        // A library fills up to VI_FIND_BUFLEN characters.
        const std::size_t n = std::min<std::size_t>(name.size(), visa::VI_FIND_BUFLEN - 1);
        std::memcpy(desc, name.data(), n);
        desc[n] = '\0';
    }
    static std::string hex(visa::ViAttr attr)
    {
        char text[16];
        std::snprintf(text, sizeof text, "0x%08X", attr);
        return text;
    }

    ViSession next_ = 1;
    std::set<ViSession> managers_;
    std::map<ViSession, ViSession> owner_;
    std::map<visa::ViFindList, std::size_t> lists_;
};

} // namespace arb::test
