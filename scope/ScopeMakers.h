#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace arb
{

// The oscilloscope makers whose command sets a capture speaks.
enum class ScopeMaker { Tektronix, Rigol, Siglent, Keysight };

// The first comma-separated field of an "*IDN?" reply, blanks and line
// ends around it removed: the maker's name as the instrument gives it.
std::string IdentificationMaker(std::string_view identification);

// The maker of an identification, its first field compared without regard
// to case: "TEKTRONIX"; "RIGOL TECHNOLOGIES"; "SIGLENT TECHNOLOGIES" or
// "SIGLENT"; "KEYSIGHT TECHNOLOGIES" or "AGILENT TECHNOLOGIES". None for
// any other.
std::optional<ScopeMaker> ScopeMakerOf(std::string_view identification);

// The number in a reply such as "1.5E-3", "10000" or "C1:VDIV 5.00E-01V":
// blanks and line ends around it removed, a command header before a blank
// and a unit "V" after the number allowed. None when it is not a finite
// number.
std::optional<double> ReplyNumber(std::string_view reply);

// The ten fields of a ":WAVeform:PREamble?" reply, in order.
struct WavePreamble {
    double format = 0, type = 0, points = 0, count = 0;
    double xincrement = 0, xorigin = 0, xreference = 0;
    double yincrement = 0, yorigin = 0, yreference = 0;
};
constexpr int kPreambleFields = 10;

// A preamble reply parsed: fields counts the comma-separated fields found,
// badField is the 0-based field that is not a number (-1 when all are).
struct PreambleReading {
    std::optional<WavePreamble> preamble;
    int fields = 0;
    int badField = -1;
};
PreambleReading ParsePreamble(std::string_view reply);

// The volts of a data byte: scale·x + offset, where x is the byte as a
// signed (-128..127) or an unsigned (0..255) value, as the maker sends it.
struct ByteVolts {
    bool signedBytes = false;
    double scale = 0;
    double offset = 0;

    double operator()(unsigned char byte) const
    {
        const int x = signedBytes && byte >= 128 ? byte - 256 : byte;
        return scale * x + offset;
    }
};

// (s - YOFf)·YMUlt + YZEro, s the byte as a signed value.
ByteVolts TektronixVolts(double ymult, double yoff, double yzero);
// (b - yorigin - yreference)·yincrement.
ByteVolts RigolVolts(const WavePreamble &p);
// s·VDIV/25 - OFST, s the byte as a signed value.
ByteVolts SiglentVolts(double vdiv, double ofst);
// (b - yreference)·yincrement + yorigin.
ByteVolts KeysightVolts(const WavePreamble &p);

// The factors and every byte's volts are finite single-precision numbers.
bool Usable(const ByteVolts &volts);

// The volts of count bytes into out, in single precision: each within a
// few units of the last place of the exact value (far below any scope's
// resolution).
void ConvertBytes(const ByteVolts &volts, const unsigned char *bytes, std::size_t count, float *out);

} // namespace arb
