#pragma once

#include <optional>
#include <string>

namespace arb
{

// True when name is one the generator takes: one to six ASCII letters or
// digits. Anything else (a blank, ",", ";", a line end, NUL) would end the
// name early or start another command.
bool IsGeneratorName(const std::string &name);

// "SYSTEM:ARB NAME " slot " " name; nothing when the slot is not a decimal
// number or the name is not a generator name, so no command is sent.
std::optional<std::string> NameCommand(const std::string &slot, const std::string &name);

} // namespace arb
