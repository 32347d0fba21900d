#pragma once

#include "link/VisaApi.h"

#include <string>

namespace arb::visa
{

// Name buffer of the find operations as the generator link reads it: a
// longer resource name is cut to kResourceNameLength - 1 characters.
constexpr int kResourceNameLength = 45;
// Reply buffer of the identification: a longer reply is cut to
// kReplyLength - 1 characters.
constexpr int kReplyLength = 200;

// The format that reads a reply of at most kReplyLength - 1 characters up
// to its line feed; a bounded conversion, so the library cannot write past
// the buffer.
extern const char kReplyFormat[];

// The command text as a VISA write format that stands for exactly that
// text: "%" becomes "%%" and "\" becomes "\\".
std::string EscapeFormatText(const std::string &text);

// Sends one generator command: viFlush with VI_READ_BUF_DISCARD, then the
// text and a line feed through viVPrintf with an empty argument list.
// Neither status is examined.
void SendCommand(VisaApi &visa, ViSession vi, const std::string &text);

// Reads one reply; a failed read gives what was stored, normally nothing.
std::string ReadReply(VisaApi &visa, ViSession vi);

// The name of a find buffer (VI_FIND_BUFLEN long, possibly without its
// NUL), cut to kResourceNameLength - 1 characters.
std::string ResourceNameFrom(const ViChar *desc);

// "SYSTEM:ARB NAME " slot " " name
std::string NameCommand(const std::string &slot, const std::string &name);

} // namespace arb::visa
