#include "core/UndoHistory.h"

#include <algorithm>
#include <cstring>

namespace arb
{

namespace
{

// Points compared at once before looking at single points.
constexpr int kBlock = 64;

bool SameBits(const float *a, const float *b, int count)
{
    return std::memcmp(a, b, static_cast<std::size_t>(count) * sizeof(float)) == 0;
}

// First index in [first, last] where the two arrays differ bit for bit, or
// last + 1.
int FirstDifference(const float *a, const float *b, int first, int last)
{
    int i = first;
    while (i + kBlock - 1 <= last && SameBits(a + i, b + i, kBlock))
        i += kBlock;
    while (i <= last && SameBits(a + i, b + i, 1))
        ++i;
    return i;
}

// Last index in [first, last] where they differ; first - 1 when none does.
int LastDifference(const float *a, const float *b, int first, int last)
{
    int i = last;
    while (i - kBlock + 1 >= first && SameBits(a + i - kBlock + 1, b + i - kBlock + 1, kBlock))
        i -= kBlock;
    while (i >= first && SameBits(a + i, b + i, 1))
        --i;
    return i;
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
    const bool lengthChanged = !SameBits(&store.ArbLength, &baseLength_, 1);
    if (!pointsChanged && !lengthChanged)
        return false;

    Step step;
    step.label = label;
    step.lengthBefore = baseLength_;
    step.lengthAfter = store.ArbLength;
    if (pointsChanged) {
        const int to = LastDifference(now, was, from, last);
        step.first = from;
        step.count = to - from + 1;
        const auto n = static_cast<std::size_t>(step.count);
        step.points.resize(2 * n);
        std::memcpy(step.points.data(), was + from, n * sizeof(float));
        std::memcpy(step.points.data() + n, now + from, n * sizeof(float));
        std::memcpy(base_.data() + from, now + from, n * sizeof(float));
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

void UndoHistory::apply(const Step &step, bool after, ArbStore &store)
{
    const auto n = static_cast<std::size_t>(step.count);
    if (n > 0) {
        const float *source = step.points.data() + (after ? n : 0);
        std::memcpy(store.ArbData.data() + step.first, source, n * sizeof(float));
        std::memcpy(base_.data() + step.first, source, n * sizeof(float));
    }
    const float length = after ? step.lengthAfter : step.lengthBefore;
    std::memcpy(&store.ArbLength, &length, sizeof(float));
    baseLength_ = store.ArbLength;
}

bool UndoHistory::undo(ArbStore &store)
{
    if (!canUndo())
        return false;
    --done_;
    apply(steps_[done_], false, store);
    return true;
}

bool UndoHistory::redo(ArbStore &store)
{
    if (!canRedo())
        return false;
    apply(steps_[done_], true, store);
    ++done_;
    return true;
}

} // namespace arb
