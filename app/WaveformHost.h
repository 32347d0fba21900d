#pragma once

#include <QString>

namespace arb
{

class UserPrompt;
class WaveDocument;

// What the command handlers of the window need from it: the waveform
// document, the user, and the length field. The field shows the document's
// length by itself; what a command may still ask of it is below.
class WaveformHost
{
  public:
    virtual ~WaveformHost() = default;

    virtual WaveDocument &document() = 0;
    virtual UserPrompt &prompt() = 0;

    // Text of the length field Text_Arb_Length as it stands: the document's
    // length, or a length typed and not yet committed, which a saved file's
    // second line and the first chunk of a download carry as they find it.
    virtual QString lengthText() const = 0;
    // The length field shows text instead, until the next length is
    // announced: the oscilloscope's identification writes the waveform's
    // length back into it as a number of six significant digits.
    virtual void showLengthText(const QString &text) = 0;
    // Commits the length field exactly as leaving it does: held to
    // 4..16384 (with the range message), and a changed length clears the
    // waveform and redraws it.
    virtual void commitLength() = 0;
};

} // namespace arb
