#include "scope/ScopeMakers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace arb
{

namespace
{

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// A whole text as a finite number: an optional sign, then what from_chars
// reads in its general form, and nothing after it.
std::optional<double> WholeNumber(std::string_view text)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool FitsSingle(double v)
{
    return std::isfinite(v) && std::fabs(v) <= std::numeric_limits<float>::max();
}

// The loops the compiler turns into vector instructions: a byte becomes a
// float, multiplied and added.
template <typename Byte>
#if defined(__GNUC__) && !defined(__clang__)
__attribute__((optimize("tree-vectorize")))
#endif
void Affine(const unsigned char *bytes, std::size_t count, float scale, float offset, float *out)
{
    for (std::size_t i = 0; i < count; ++i)
        out[i] = static_cast<float>(static_cast<Byte>(bytes[i])) * scale + offset;
}

} // namespace

std::string IdentificationMaker(std::string_view identification)
{
    return std::string(Trimmed(identification.substr(0, identification.find(','))));
}

std::optional<ScopeMaker> ScopeMakerOf(std::string_view identification)
{
    const std::string maker = IdentificationMaker(identification);
    if (SameText(maker, "TEKTRONIX"))
        return ScopeMaker::Tektronix;
    if (SameText(maker, "RIGOL TECHNOLOGIES"))
        return ScopeMaker::Rigol;
    if (SameText(maker, "SIGLENT TECHNOLOGIES") || SameText(maker, "SIGLENT"))
        return ScopeMaker::Siglent;
    if (SameText(maker, "KEYSIGHT TECHNOLOGIES") || SameText(maker, "AGILENT TECHNOLOGIES"))
        return ScopeMaker::Keysight;
    return std::nullopt;
}

std::optional<double> ReplyNumber(std::string_view reply)
{
    std::string_view text = Trimmed(reply);
    // "C1:VDIV 5.00E-01V": the header ends at the last blank.
    const std::size_t blank = text.find_last_of(" \t");
    if (blank != std::string_view::npos)
        text.remove_prefix(blank + 1);
    if (const std::optional<double> plain = WholeNumber(text))
        return plain;
    if (!text.empty() && (text.back() == 'V' || text.back() == 'v'))
        return WholeNumber(text.substr(0, text.size() - 1));
    return std::nullopt;
}

PreambleReading ParsePreamble(std::string_view reply)
{
    PreambleReading reading;
    const std::string_view text = Trimmed(reply);
    double values[kPreambleFields] = {};
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = text.find(',', from);
        const std::string_view field = Trimmed(
            text.substr(from, comma == std::string_view::npos ? std::string_view::npos : comma - from));
        if (reading.fields < kPreambleFields) {
            const std::optional<double> value = WholeNumber(field);
            if (value)
                values[reading.fields] = *value;
            else if (reading.badField < 0)
                reading.badField = reading.fields;
        }
        ++reading.fields;
        if (comma == std::string_view::npos)
            break;
        from = comma + 1;
    }
    if (reading.fields != kPreambleFields || reading.badField >= 0)
        return reading;
    WavePreamble p;
    p.format = values[0];
    p.type = values[1];
    p.points = values[2];
    p.count = values[3];
    p.xincrement = values[4];
    p.xorigin = values[5];
    p.xreference = values[6];
    p.yincrement = values[7];
    p.yorigin = values[8];
    p.yreference = values[9];
    reading.preamble = p;
    return reading;
}

ByteVolts TektronixVolts(double ymult, double yoff, double yzero)
{
    return {true, ymult, yzero - yoff * ymult};
}

ByteVolts RigolVolts(const WavePreamble &p)
{
    return {false, p.yincrement, -(p.yorigin + p.yreference) * p.yincrement};
}

ByteVolts SiglentVolts(double vdiv, double ofst)
{
    return {true, vdiv / 25.0, -ofst};
}

ByteVolts KeysightVolts(const WavePreamble &p)
{
    return {false, p.yincrement, p.yorigin - p.yreference * p.yincrement};
}

bool Usable(const ByteVolts &volts)
{
    if (!FitsSingle(volts.scale) || !FitsSingle(volts.offset))
        return false;
    // The extremes lie at the ends of the byte range.
    return FitsSingle(volts(0x00)) && FitsSingle(volts(0x7F)) && FitsSingle(volts(0x80)) &&
           FitsSingle(volts(0xFF));
}

void ConvertBytes(const ByteVolts &volts, const unsigned char *bytes, std::size_t count, float *out)
{
    const auto scale = static_cast<float>(volts.scale);
    const auto offset = static_cast<float>(volts.offset);
    if (volts.signedBytes)
        Affine<signed char>(bytes, count, scale, offset, out);
    else
        Affine<unsigned char>(bytes, count, scale, offset, out);
}

} // namespace arb
