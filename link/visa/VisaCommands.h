#pragma once

#include "link/visa/VisaApi.h"

#include <string>

namespace arb::visa
{

// Reply buffer of the identification: a longer reply is cut to at most
// kReplyLength - 1 characters.
constexpr int kReplyLength = 200;

// The format of the identification read: VISA's "%t" bounded by a ViInt32
// size argument, which ReadReply passes before the buffer.
extern const char kReplyFormat[];

// The command text as a VISA write format that stands for exactly that
// text: "%" becomes "%%" and "\" becomes "\\".
std::string EscapeFormatText(const std::string &text);

// Sends one command: viFlush with VI_READ_BUF_DISCARD, then the
// text and a line feed through viVPrintf with an empty argument list.
// Neither status is examined.
void SendCommand(VisaApi &visa, ViSession vi, const std::string &text);

// Reads one reply with kReplyFormat, without its line end. A failed read
// gives what was stored, normally nothing.
std::string ReadReply(VisaApi &visa, ViSession vi);

// The name in a find buffer of VI_FIND_BUFLEN characters, whole: up to
// its NUL, or all VI_FIND_BUFLEN characters when the library wrote none.
std::string ResourceNameFrom(const ViChar *desc);

} // namespace arb::visa
