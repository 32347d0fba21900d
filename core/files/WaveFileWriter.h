#pragma once

#include <string>
#include <string_view>

namespace arb
{

struct ArbStore;

// Brings a waveform whose peak magnitude is below 1 up to full scale, in
// place. ArbMaxValue and ArbMinValue take the extremes of points
// 0..LastIndex() found before the scaling; ArbScale takes the factor: 1 for
// an all-zero waveform or one that reaches 1 or -1, else 1 / peak in double
// precision (a tie of magnitudes takes |ArbMinValue|). Each point becomes
// point x ArbScale stored back in single precision.
void ScaleToFullScale(ArbStore &store);

// The saved form: the name line, the length line, then one FormatValue6 line
// per point 0..LastIndex(); every line ends with CR LF. The name and length
// are written as given, as the fields hold them.
std::string SavedWaveText(const ArbStore &store, std::string_view name, std::string_view lengthText);

} // namespace arb
