#pragma once

#include "view/PlotCanvas.h"

#include <memory>

namespace arb
{

class WaveDocument;
class WaveView;

// A plot of points that are not the waveform itself, drawn as the main plot
// draws the waveform (grid, colours, whole-waveform view): the preview of a
// dialog that is about to make a waveform.
class WavePreview : public PlotCanvas
{
    Q_OBJECT
  public:
    explicit WavePreview(QWidget *parent = nullptr);
    ~WavePreview() override;

    // Shows count points (kMinArbLength..kMaxArbLength) from values.
    void showPoints(const float *values, int count);

  private:
    std::unique_ptr<WaveDocument> points_;
    WaveView *view_ = nullptr;
};

} // namespace arb
