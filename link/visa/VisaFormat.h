#pragma once

#include "link/visa/VisaTypes.h"

#include <cstddef>
#include <string>

namespace arb::visa
{

// The bytes a write format without conversions stands for: "%%" is one
// "%", and the backslash sequences \n \r \t \\ \" \' are their characters.
// Any other conversion is refused with VI_ERROR_NSUP_FMT, since no
// arguments are taken.
ViStatus ExpandWriteFormat(ViConstString format, std::string &bytes);

// A read format of one "%t" conversion, the reply up to its end, in one of
// the forms VISA defines for it:
//  "%t"          no bound: the buffer must hold the whole reply and a NUL;
//  "%<width>t"   at most width characters, so the buffer holds width + 1;
//  "%#t"         the conversion takes two arguments, a ViInt32* with the
//                buffer's size, then the buffer; the count of characters
//                stored is returned through the ViInt32.
// Every other conversion, the C scanset included, is refused with
// VI_ERROR_NSUP_FMT.
struct ReadFormat {
    enum class Bound { None, Width, Argument };
    Bound bound = Bound::None;
    std::size_t width = 0;
};
ViStatus ParseReadFormat(ViConstString format, ReadFormat &parsed);

// Libraries differ on whether the size of "%#t" counts the NUL.
enum class SizeCountsNul { Yes, No };

// Takes the conversion's arguments from params and stores reply there,
// cut to the bound, with a NUL after it. With SizeCountsNul::Yes a "%#t"
// buffer of size n receives at most n - 1 characters, with No at most n
// (and the NUL after them).
void ScanReply(const ReadFormat &parsed, const std::string &reply, ViVAList params,
               SizeCountsNul counts = SizeCountsNul::Yes);

} // namespace arb::visa
