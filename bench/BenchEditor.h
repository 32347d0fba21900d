#pragma once

// The real main window for benchmarks: a scripted user, no help viewer, the
// platform VISA or a test double, and the oscilloscope link's services as
// given.
#include "app/FormMain.h"
#include "app/HelpViewer.h"
#include "bench/BenchMain.h"
#include "core/ArbStore.h"
#include "core/WaveDocument.h"
#include "tests/support/RecordingVisa.h"
#include "tests/support/ScriptedPrompt.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace arb::bench
{

class NoHelp final : public HelpViewer
{
  public:
    bool open(const QString &) override { return true; }
};

struct BenchEditor {
    explicit BenchEditor(QRect area = QRect(0, 0, 1024, 768), bool fakeVisa = true,
                         const ScopeCaptureServices &scope = {})
    {
        FormMainServices s;
        s.document = &document;
        s.prompt = &user;
        s.help = &help;
        s.workArea = area;
        if (fakeVisa)
            s.visa = &visa;
        s.scope = scope;
        window = std::make_unique<FormMain>(s);
    }
    WaveDocument document;
    const ArbStore &store = document.store();
    test::ScriptedPrompt user;
    NoHelp help;
    test::RecordingVisa visa;
    std::unique_ptr<FormMain> window;
};

} // namespace arb::bench
