#pragma once

#include "link/VisaTypes.h"

#include <cstddef>
#include <string>

namespace arb::visa
{

// The bytes a write format without conversions stands for: "%%" is one
// "%", and the backslash sequences \n \r \t \\ \" \' are their characters.
// Any other conversion is refused with VI_ERROR_NSUP_FMT, since no
// arguments are taken.
ViStatus ExpandWriteFormat(ViConstString format, std::string &bytes);

// A read format with one bounded string conversion: "%<width>t" (the reply
// up to its end) or "%<width>[^\n]" (the reply up to its line feed, which
// is not stored). The width is required: the buffer holds width + 1
// characters.
struct ReadFormat {
    enum class Kind { ToEnd, ToLineFeed };
    Kind kind = Kind::ToEnd;
    std::size_t width = 0;
};
ViStatus ParseReadFormat(ViConstString format, ReadFormat &parsed);

// Writes what a bounded read stores from reply: at most parsed.width
// characters and a NUL.
void StoreReply(const ReadFormat &parsed, const std::string &reply, char *buffer);

} // namespace arb::visa
