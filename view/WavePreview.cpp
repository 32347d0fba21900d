#include "view/WavePreview.h"

#include "core/ArbStore.h"
#include "view/WaveView.h"

#include <algorithm>

namespace arb
{

WavePreview::WavePreview(QWidget *parent) : PlotCanvas(parent), points_(std::make_unique<ArbStore>())
{
    WaveView::Widgets w;
    w.canvas = this;
    view_ = new WaveView(*points_, w, this);
}

WavePreview::~WavePreview() = default;

void WavePreview::showPoints(const float *values, int count)
{
    count = std::clamp(count, 0, kMaxArbLength);
    std::copy(values, values + count, points_->ArbData.begin());
    points_->ArbLength = static_cast<float>(count);
    view_->DrawWaveAll();
}

} // namespace arb
