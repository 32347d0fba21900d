#pragma once

#include "app/CaptureUi.h"
#include "scope/VisaScopeTalk.h"

#include <chrono>
#include <optional>
#include <thread>
#include <vector>

namespace arb::test
{

// A CaptureUi that presses "读取" with each source of a script in turn
// (each press that is not taken leaves the dialog open for the next) and
// closes the dialog when the script is spent; it records what the dialog
// was opened on and what "仪器" listed, and waits for a read, cancelling it
// once cancelAfterBytes have come.
class ScriptedCaptureUi final : public CaptureUi
{
  public:
    std::optional<CaptureSource> chooseSource(const CaptureSource &initial,
                                              const std::function<QStringList()> &instruments,
                                              const std::function<bool(const CaptureSource &)> &read) override
    {
        ++dialogs;
        shownInitial.push_back(initial);
        shownInstruments.push_back(instruments());
        while (!presses.empty()) {
            const CaptureSource source = presses.front();
            presses.erase(presses.begin());
            if (read(source))
                return source;
        }
        return std::nullopt;
    }

    void waitForCapture(CaptureControl &control, const std::function<bool()> &finished) override
    {
        ++waits;
        while (!finished()) {
            if (cancelAfterBytes && control.received.load() >= *cancelAfterBytes && !control.cancel.load()) {
                control.cancel.store(true);
                cancelledAt = std::chrono::steady_clock::now();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        endedAt = std::chrono::steady_clock::now();
    }

    std::vector<CaptureSource> presses;
    std::optional<std::uint64_t> cancelAfterBytes;
    int dialogs = 0;
    int waits = 0;
    std::vector<CaptureSource> shownInitial;
    std::vector<QStringList> shownInstruments;
    std::chrono::steady_clock::time_point cancelledAt;
    std::chrono::steady_clock::time_point endedAt;
};

} // namespace arb::test
