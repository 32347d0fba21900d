#pragma once

namespace arb::cli
{

// What the program's exit status tells a script.
enum ExitStatus : int {
    kSuccess = 0,
    kRefused = 1,    // the input was refused, or the output could not be written
    kUsage = 2,      // the command line itself is wrong
    kInstrument = 3, // no instrument found, no reply, or the link was lost
};

} // namespace arb::cli
