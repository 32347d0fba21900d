#include "link/VisaFormat.h"

#include <cstring>

namespace arb::visa
{

ViStatus ExpandWriteFormat(ViConstString format, std::string &bytes)
{
    bytes.clear();
    if (!format)
        return VI_ERROR_INV_FMT;
    for (const char *p = format; *p; ++p) {
        if (*p == '%') {
            if (p[1] != '%')
                return VI_ERROR_NSUP_FMT;
            bytes += '%';
            ++p;
        } else if (*p == '\\') {
            switch (p[1]) {
            case 'n': bytes += '\n'; break;
            case 'r': bytes += '\r'; break;
            case 't': bytes += '\t'; break;
            case '\\': bytes += '\\'; break;
            case '"': bytes += '"'; break;
            case '\'': bytes += '\''; break;
            default: return VI_ERROR_NSUP_FMT;
            }
            ++p;
        } else {
            bytes += *p;
        }
    }
    return VI_SUCCESS;
}

ViStatus ParseReadFormat(ViConstString format, ReadFormat &parsed)
{
    if (!format || format[0] != '%')
        return VI_ERROR_NSUP_FMT;
    const char *p = format + 1;
    std::size_t width = 0;
    while (*p >= '0' && *p <= '9') {
        width = width * 10 + static_cast<std::size_t>(*p - '0');
        if (width > 1000000)
            return VI_ERROR_INV_FMT;
        ++p;
    }
    if (width == 0)
        return VI_ERROR_NSUP_FMT;
    parsed.width = width;
    if (std::strcmp(p, "t") == 0) {
        parsed.kind = ReadFormat::Kind::ToEnd;
        return VI_SUCCESS;
    }
    if (std::strcmp(p, "[^\n]") == 0 || std::strcmp(p, "[^\\n]") == 0) {
        parsed.kind = ReadFormat::Kind::ToLineFeed;
        return VI_SUCCESS;
    }
    return VI_ERROR_NSUP_FMT;
}

void StoreReply(const ReadFormat &parsed, const std::string &reply, char *buffer)
{
    std::size_t length = reply.size();
    if (parsed.kind == ReadFormat::Kind::ToLineFeed) {
        const std::size_t lf = reply.find('\n');
        if (lf != std::string::npos)
            length = lf;
    }
    if (length > parsed.width)
        length = parsed.width;
    std::memcpy(buffer, reply.data(), length);
    buffer[length] = '\0';
}

} // namespace arb::visa
