#pragma once

#include "app/WaveformHost.h"
#include "core/ArbStore.h"
#include "core/LengthRule.h"
#include "tests/support/ScriptedPrompt.h"

namespace arb::test
{

// A WaveformHost without a window, for the command handlers' tests. The
// length commit follows the field's rules; the name is stored as given.
class FakeHost final : public WaveformHost
{
  public:
    ArbStore &store() override { return arb; }
    UserPrompt &prompt() override { return user; }
    void DrawWaveAll() override { ++redraws; }
    QString lengthText() const override { return length; }
    void setLengthText(const QString &text) override { length = text; }
    void commitLength() override
    {
        ++lengthCommits;
        const float old = arb.ArbLength;
        const LengthCommit c = CommitLengthText(length);
        if (c.outOfRange)
            user.message(LengthRangeMessage(), QString(), MessageIcon::Critical);
        length = c.text;
        arb.ArbLength = c.length;
        if (arb.ArbLength != old) {
            arb.ClearPoints();
            DrawWaveAll();
        }
    }
    QString nameText() const override { return name; }
    void setNameText(const QString &text) override { name = text; }

    ArbStore arb;
    ScriptedPrompt user;
    QString length = QStringLiteral("201");
    QString name = QStringLiteral("ArbNo0");
    int redraws = 0;
    int lengthCommits = 0;
};

} // namespace arb::test
