#pragma once

#include "app/WaveformHost.h"

#include <QString>

namespace arb
{

// One user command that may change the waveform, from its construction to
// the end of its scope, whichever way the command ends.
class WaveStep
{
  public:
    WaveStep(WaveformHost &host, const QString &label) : host_(host) { host_.beginWaveStep(label); }
    ~WaveStep() { host_.endWaveStep(); }
    WaveStep(const WaveStep &) = delete;
    WaveStep &operator=(const WaveStep &) = delete;

  private:
    WaveformHost &host_;
};

} // namespace arb
