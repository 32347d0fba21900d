#pragma once

#include "core/WaveDocument.h"

#include <QString>

namespace arb
{

// One user command that may change the waveform, from its construction to
// the end of its scope, whichever way the command ends: what changes in
// between is one undo step named label. A command run inside another joins
// the outer one's step.
class WaveStep
{
  public:
    WaveStep(WaveDocument &document, const QString &label) : document_(document)
    {
        document_.beginStep(label);
    }
    ~WaveStep() { document_.endStep(); }
    WaveStep(const WaveStep &) = delete;
    WaveStep &operator=(const WaveStep &) = delete;

  private:
    WaveDocument &document_;
};

} // namespace arb
