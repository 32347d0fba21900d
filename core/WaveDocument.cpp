#include "core/WaveDocument.h"

#include "core/NameRules.h"
#include "core/PointBits.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace arb
{

namespace
{

constexpr int kLastSlot = 9;

// The indices a run of single writes changed.
class ChangedPoints
{
  public:
    explicit ChangedPoints(ArbStore &store) : data_(store.ArbData) {}

    void write(int index, float value)
    {
        float &point = data_[static_cast<std::size_t>(index)];
        if (SameBits(point, value))
            return;
        point = value;
        first_ = std::min(first_, index);
        last_ = std::max(last_, index);
    }
    bool any() const { return first_ <= last_; }
    int first() const { return first_; }
    int last() const { return last_; }

  private:
    std::array<float, kArbBufferSize> &data_;
    int first_ = INT_MAX;
    int last_ = -1;
};

} // namespace

WaveDocument::WaveDocument(QObject *parent) : QObject(parent), name_(DefaultArbName(0)) {}

QString WaveDocument::name() const
{
    return name_.isEmpty() ? defaultName() : name_;
}

QString WaveDocument::defaultName() const
{
    return DefaultArbName(slot_);
}

void WaveDocument::takePoints(const ArbStore &next)
{
    const float *now = store_.ArbData.data();
    const float *given = next.ArbData.data();
    const int from = FirstDifference(given, now, 0, kArbBufferSize - 1);
    if (from >= kArbBufferSize)
        return;
    const int to = LastDifference(given, now, from, kArbBufferSize - 1);
    // next may be this document's own store.
    std::memmove(store_.ArbData.data() + from, given + from,
                 static_cast<std::size_t>(to - from + 1) * sizeof(float));
    emit pointsChanged(from, to);
}

void WaveDocument::takeDerived(const ArbStore &next)
{
    store_.ArbMaxValue = next.ArbMaxValue;
    store_.ArbMinValue = next.ArbMinValue;
    store_.ArbScale = next.ArbScale;
}

void WaveDocument::newWaveform()
{
    resetChangedName();
    emit replaced();
}

void WaveDocument::replaceAll(const ArbStore &next)
{
    const float length = next.ArbLength;
    takePoints(next);
    takeDerived(next);
    setLength(length);
    newWaveform();
}

void WaveDocument::replacePoints(const ArbStore &next)
{
    takePoints(next);
    takeDerived(next);
    newWaveform();
}

void WaveDocument::replaceRange(int first, const float *values, int count)
{
    setPoints(first, values, count);
    newWaveform();
}

void WaveDocument::assign(const ArbStore &next)
{
    takePoints(next);
    takeDerived(next);
}

void WaveDocument::setPoints(int first, const float *values, int count)
{
    ChangedPoints changed(store_);
    const long long end = static_cast<long long>(first) + std::max(count, 0);
    const int from = std::max(first, 0);
    const int to = static_cast<int>(std::min<long long>(end, kArbBufferSize)) - 1;
    for (int i = from; i <= to; ++i)
        changed.write(i, values[i - first]);
    if (changed.any())
        emit pointsChanged(changed.first(), changed.last());
}

void WaveDocument::setPoint(int index, float value)
{
    setPoints(index, &value, 1);
}

void WaveDocument::drawLine(int from, int to, float value)
{
    if (from < 0 || from >= kArbBufferSize || to < 0 || to >= kArbBufferSize)
        return;
    ChangedPoints changed(store_);
    ForEachLinePoint(store_, from, to, value, [&changed](int j, float v) { changed.write(j, v); });
    if (changed.any())
        emit pointsChanged(changed.first(), changed.last());
    emit lineDrawn(from, to);
}

void WaveDocument::setLength(float length)
{
    store_.ArbLength = length;
    emit lengthChanged(length);
}

void WaveDocument::setName(const QString &text)
{
    if (text != name_) {
        name_ = text;
        emit nameTextChanged();
    }
    if (name_ != defaultName())
        nameChanged_ = true;
}

void WaveDocument::setSlot(int slot)
{
    slot = std::clamp(slot, 0, kLastSlot);
    if (slot == slot_)
        return;
    const QString oldDefault = defaultName();
    slot_ = slot;
    emit slotChanged(slot_);
    if (name_ == oldDefault) {
        name_ = defaultName();
        nameChanged_ = false;
        emit nameTextChanged();
    }
}

void WaveDocument::resetChangedName()
{
    if (!nameChanged_)
        return;
    nameChanged_ = false;
    if (name_ == defaultName())
        return;
    name_ = defaultName();
    emit nameTextChanged();
}

void WaveDocument::beginStep(const QString &label)
{
    emit stepBegun(label);
}

void WaveDocument::endStep()
{
    emit stepEnded();
}

} // namespace arb
