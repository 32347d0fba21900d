#pragma once

#include "core/ArbStore.h"

#include <QString>
#include <array>
#include <cstddef>
#include <deque>
#include <vector>

namespace arb
{

// The steps that undo and redo walk through. The history keeps its own copy
// of the waveform as it stood after the last step (or the last undo or redo);
// recording compares the store with that copy bit for bit and keeps, as one
// step, only the index range that differs and the length. A step holds the
// side of its change that is not in the store: the points before it while it
// is done, the points after it once it is undone; undo and redo swap them
// back. Steps are dropped oldest first once they hold more than the byte
// limit, and a new step drops the steps that could be redone.
class UndoHistory
{
  public:
    // 32 MiB: about 500 steps that each change every point.
    static constexpr std::size_t kDefaultByteLimit = std::size_t(32) << 20;

    explicit UndoHistory(std::size_t byteLimit = kDefaultByteLimit);

    // Forgets every step; the store as it is now is the base of the next one.
    void reset(const ArbStore &store);

    // Records what changed in the store since the last record, undo or redo
    // as one step named label. Only points first..last are compared (and
    // ArbLength); a difference elsewhere stays for a later record. False when
    // nothing changed: no step is made.
    bool record(const ArbStore &store, const QString &label, int first = 0, int last = kArbBufferSize - 1);

    bool canUndo() const { return done_ > 0; }
    bool canRedo() const { return done_ < steps_.size(); }
    // Name of the step an undo or a redo would take back or bring back.
    QString undoLabel() const;
    QString redoLabel() const;

    // Put the store back as it was before the last step, or as it was after
    // the next one: ArbLength and the step's points, bit for bit. The store
    // must hold what the history last saw (record first). False when there
    // is no such step.
    bool undo(ArbStore &store);
    bool redo(ArbStore &store);

    std::size_t undoCount() const { return done_; }
    std::size_t redoCount() const { return steps_.size() - done_; }
    // Memory held by the steps and the copy of the waveform.
    std::size_t bytes() const { return sizeof(base_) + stepBytes_; }
    std::size_t byteLimit() const { return byteLimit_; }

  private:
    struct Step {
        QString label;
        int first = 0;
        // The length and the points first.. that are not in the store.
        float length = 0.0f;
        std::vector<float> points;
    };

    static std::size_t bytesOf(const Step &step);
    // Swaps the step's side with the store's.
    void swapIn(Step &step, ArbStore &store);
    void dropRedo();
    void keepWithinLimit();

    std::size_t byteLimit_;
    std::array<float, kArbBufferSize> base_{};
    float baseLength_ = kDefaultArbLength;
    // steps_[0, done_) can be undone, the rest redone.
    std::deque<Step> steps_;
    std::size_t done_ = 0;
    std::size_t stepBytes_ = 0;
};

} // namespace arb
