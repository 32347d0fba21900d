#include "link/visa/VisaFormat.h"

#include <algorithm>
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
    if (std::strcmp(format, "%t") == 0) {
        parsed = {ReadFormat::Bound::None, 0};
        return VI_SUCCESS;
    }
    if (std::strcmp(format, "%#t") == 0) {
        parsed = {ReadFormat::Bound::Argument, 0};
        return VI_SUCCESS;
    }
    const char *p = format + 1;
    std::size_t width = 0;
    while (*p >= '0' && *p <= '9') {
        width = width * 10 + static_cast<std::size_t>(*p - '0');
        if (width > 1000000)
            return VI_ERROR_INV_FMT;
        ++p;
    }
    if (width == 0 || std::strcmp(p, "t") != 0)
        return VI_ERROR_NSUP_FMT;
    parsed = {ReadFormat::Bound::Width, width};
    return VI_SUCCESS;
}

void ScanReply(const ReadFormat &parsed, const std::string &reply, ViVAList params, SizeCountsNul counts)
{
    std::size_t length = reply.size();
    ViInt32 *size = nullptr;
    switch (parsed.bound) {
    case ReadFormat::Bound::None: break;
    case ReadFormat::Bound::Width: length = std::min(length, parsed.width); break;
    case ReadFormat::Bound::Argument: {
        size = va_arg(params, ViInt32 *);
        if (!size || *size <= 0) {
            // No room even for the NUL.
            if (size)
                *size = 0;
            return;
        }
        length = std::min(length, static_cast<std::size_t>(*size - (counts == SizeCountsNul::Yes ? 1 : 0)));
        break;
    }
    }
    char *buffer = va_arg(params, char *);
    if (!buffer)
        return;
    std::memcpy(buffer, reply.data(), length);
    buffer[length] = '\0';
    if (size)
        *size = static_cast<ViInt32>(length);
}

} // namespace arb::visa
