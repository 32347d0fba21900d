#include "view/WavePreview.h"

#include "core/ArbStore.h"
#include "core/WaveDocument.h"
#include "view/WaveView.h"

#include <algorithm>

namespace arb
{

WavePreview::WavePreview(QWidget *parent) : PlotCanvas(parent), points_(std::make_unique<WaveDocument>())
{
    WaveView::Widgets w;
    w.canvas = this;
    view_ = new WaveView(*points_, w, this);
}

WavePreview::~WavePreview() = default;

void WavePreview::showPoints(const float *values, int count)
{
    count = std::clamp(count, 0, kMaxArbLength);
    // The preview's own document: as a new waveform, it is drawn in full.
    ArbStore shown = points_->store();
    std::copy(values, values + count, shown.ArbData.begin());
    shown.ArbLength = static_cast<float>(count);
    points_->replaceAll(shown);
}

} // namespace arb
