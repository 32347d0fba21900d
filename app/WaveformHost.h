#pragma once

#include <QString>

namespace arb
{

struct ArbStore;
class UserPrompt;

// What the command handlers of the window need from it: the waveform store,
// the user, the redraw, and the two fields whose texts belong to the
// waveform (the length field and the name field).
class WaveformHost
{
  public:
    virtual ~WaveformHost() = default;

    virtual ArbStore &store() = 0;
    virtual UserPrompt &prompt() = 0;

    // Full redraw: view reset to the whole waveform, grid, curve, read-outs,
    // and a customised name back to its default.
    virtual void DrawWaveAll() = 0;

    // Text of the length field Text_Arb_Length.
    virtual QString lengthText() const = 0;
    virtual void setLengthText(const QString &text) = 0;
    // Commits the length field exactly as leaving it does: held to
    // 4..16384 (with the range message), and a changed length clears the
    // waveform and redraws it.
    virtual void commitLength() = 0;

    // Text of the name field txtName; setting it runs the field's own change
    // rules (trimmed, cut to six characters with its message).
    virtual QString nameText() const = 0;
    virtual void setNameText(const QString &text) = 0;

    // The start and the end of a command that may change the waveform (use
    // WaveStep): what changes in between is one undo step named label. A
    // command run inside another joins the outer one's step. Without an undo
    // history they do nothing.
    virtual void beginWaveStep(const QString &label) { (void)label; }
    virtual void endWaveStep() {}
};

} // namespace arb
