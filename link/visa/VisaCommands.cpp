#include "link/visa/VisaCommands.h"

#include "link/visa/VaList.h"

#include <algorithm>
#include <cstring>

namespace arb::visa
{

const char kReplyFormat[] = "%#t";

std::string EscapeFormatText(const std::string &text)
{
    if (text.find_first_of("%\\") == std::string::npos)
        return text;
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        if (c == '%' || c == '\\')
            out += c;
        out += c;
    }
    return out;
}

void SendCommand(VisaApi &visa, ViSession vi, const std::string &text)
{
    visa.viFlush(vi, VI_READ_BUF_DISCARD);
    std::string format = EscapeFormatText(text);
    format += '\n';
    PrintfVia(visa, vi, format.c_str());
}

std::string ReadReply(VisaApi &visa, ViSession vi)
{
    char buffer[kReplyLength] = {};
    // Some libraries count the NUL in the size and some do not: one less
    // than the buffer fits either way.
    ViInt32 count = kReplyLength - 1;
    ScanfVia(visa, vi, kReplyFormat, &count, buffer);
    // The text ends at the count returned; a library that left the count
    // alone (a failed read) stored its NUL.
    const std::size_t stored =
        std::min<std::size_t>(static_cast<std::size_t>(std::max<ViInt32>(count, 0)), kReplyLength - 1);
    std::string reply(buffer, std::find(buffer, buffer + stored, '\0'));
    if (!reply.empty() && reply.back() == '\n')
        reply.pop_back();
    if (!reply.empty() && reply.back() == '\r')
        reply.pop_back();
    return reply;
}

std::string ResourceNameFrom(const ViChar *desc)
{
    std::size_t length = 0;
    while (length < static_cast<std::size_t>(VI_FIND_BUFLEN) && desc[length] != '\0')
        ++length;
    return std::string(desc, length);
}

} // namespace arb::visa
