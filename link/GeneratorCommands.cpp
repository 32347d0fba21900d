#include "link/GeneratorCommands.h"

#include "link/VaList.h"

#include <cstring>

namespace arb::visa
{

// The width is kReplyLength - 1.
const char kReplyFormat[] = "%199[^\n]";

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
    // One spare byte beyond the reply buffer, in case a library stores the
    // NUL after a full-width field.
    char buffer[kReplyLength + 1] = {};
    ScanfVia(visa, vi, kReplyFormat, buffer);
    buffer[kReplyLength - 1] = '\0';
    return std::string(buffer);
}

std::string ResourceNameFrom(const ViChar *desc)
{
    std::size_t length = 0;
    while (length < static_cast<std::size_t>(kResourceNameLength - 1) && desc[length] != '\0')
        ++length;
    return std::string(desc, length);
}

std::string NameCommand(const std::string &slot, const std::string &name)
{
    return "SYSTEM:ARB NAME " + slot + " " + name;
}

} // namespace arb::visa
