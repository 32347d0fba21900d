#include "core/UndoHistory.h"

#include "core/PointBits.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace arb
{

namespace
{

// Exchanges two runs of points as bit patterns, never as numbers.
void SwapBits(float *a, float *b, std::size_t count)
{
    float held[256];
    for (std::size_t done = 0; done < count; done += std::size(held)) {
        const std::size_t bytes = std::min(count - done, std::size(held)) * sizeof(float);
        std::memcpy(held, a + done, bytes);
        std::memcpy(a + done, b + done, bytes);
        std::memcpy(b + done, held, bytes);
    }
}

} // namespace

UndoHistory::UndoHistory(std::size_t byteLimit) : byteLimit_(byteLimit) {}

void UndoHistory::reset(const ArbStore &store)
{
    steps_.clear();
    done_ = 0;
    stepBytes_ = 0;
    base_ = store.ArbData;
    baseLength_ = store.ArbLength;
}

std::size_t UndoHistory::bytesOf(const Step &step)
{
    return sizeof(Step) + step.points.capacity() * sizeof(float) +
           static_cast<std::size_t>(step.label.capacity()) * sizeof(QChar);
}

bool UndoHistory::record(const ArbStore &store, const QString &label, int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, kArbBufferSize - 1);
    const float *now = store.ArbData.data();
    const float *was = base_.data();
    const int from = first <= last ? FirstDifference(now, was, first, last) : last + 1;
    const bool pointsChanged = from <= last;
    const bool lengthChanged = !SameBits(store.ArbLength, baseLength_);
    if (!pointsChanged && !lengthChanged)
        return false;

    Step step;
    step.label = label;
    step.length = baseLength_;
    if (pointsChanged) {
        const int to = LastDifference(now, was, from, last);
        step.first = from;
        step.points.assign(was + from, was + to + 1);
        std::memcpy(base_.data() + from, now + from, step.points.size() * sizeof(float));
    }
    baseLength_ = store.ArbLength;

    dropRedo();
    stepBytes_ += bytesOf(step);
    steps_.push_back(std::move(step));
    ++done_;
    keepWithinLimit();
    return true;
}

void UndoHistory::dropRedo()
{
    while (steps_.size() > done_) {
        stepBytes_ -= bytesOf(steps_.back());
        steps_.pop_back();
    }
}

void UndoHistory::keepWithinLimit()
{
    // The newest step always stays, whatever it holds.
    while (bytes() > byteLimit_ && steps_.size() > 1) {
        stepBytes_ -= bytesOf(steps_.front());
        steps_.pop_front();
        --done_;
    }
}

QString UndoHistory::undoLabel() const
{
    return canUndo() ? steps_[done_ - 1].label : QString();
}

QString UndoHistory::redoLabel() const
{
    return canRedo() ? steps_[done_].label : QString();
}

void UndoHistory::swapIn(Step &step, ArbStore &store)
{
    float *points = store.ArbData.data() + step.first;
    SwapBits(step.points.data(), points, step.points.size());
    if (!step.points.empty())
        std::memcpy(base_.data() + step.first, points, step.points.size() * sizeof(float));
    SwapBits(&step.length, &store.ArbLength, 1);
    baseLength_ = store.ArbLength;
}

bool UndoHistory::undo(ArbStore &store)
{
    if (!canUndo())
        return false;
    --done_;
    swapIn(steps_[done_], store);
    return true;
}

bool UndoHistory::redo(ArbStore &store)
{
    if (!canRedo())
        return false;
    swapIn(steps_[done_], store);
    ++done_;
    return true;
}

} // namespace arb
