#pragma once

#include "app/WaveformHost.h"
#include "core/ArbStore.h"
#include "core/LengthRule.h"
#include "core/WaveDocument.h"
#include "core/files/WaveNumber.h"
#include "tests/support/ScriptedPrompt.h"

#include <QObject>

namespace arb::test
{

// A WaveformHost without a window, for the command handlers' tests. Its
// length text follows the document's length as the window's length field
// does, and may be set as a length typed and not yet committed; the commit
// follows the field's rules. It counts the new waveforms, each of which the
// window draws in full.
class FakeHost final : public WaveformHost
{
  public:
    FakeHost()
    {
        QObject::connect(&doc, &WaveDocument::lengthChanged,
                         [this](float l) { length = QString::fromStdString(FormatWaveCount(l)); });
        QObject::connect(&doc, &WaveDocument::replaced, [this] { ++redraws; });
    }

    WaveDocument &document() override { return doc; }
    UserPrompt &prompt() override { return user; }
    QString lengthText() const override { return length; }
    void showLengthText(const QString &text) override { length = text; }
    void commitLength() override
    {
        ++lengthCommits;
        const float old = doc.length();
        const LengthCommit c = CommitLengthText(length);
        if (c.outOfRange)
            user.message(LengthRangeMessage(), QString(), MessageIcon::Critical);
        doc.setLength(c.length);
        if (doc.length() != old) {
            ArbStore cleared = doc.store();
            cleared.ClearPoints();
            doc.replacePoints(cleared);
        }
    }

    WaveDocument doc;
    // The document as the commands leave it.
    const ArbStore &arb = doc.store();
    // The name as the document holds it.
    const QString &name = doc.nameText();
    ScriptedPrompt user;
    QString length = QStringLiteral("201");
    int redraws = 0;
    int lengthCommits = 0;
};

} // namespace arb::test
