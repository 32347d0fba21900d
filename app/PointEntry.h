#pragma once

#include <QObject>

class QLineEdit;
class QPushButton;

namespace arb
{

struct ArbStore;
class EntryFilter;
class WaveformHost;
struct MainControls;

// Typed points and segments: the start and end point fields, their committed
// values and the two commands that write them into the waveform. It works on
// the controls of the window it is given (those of them that are there).
class PointEntry : public QObject
{
    Q_OBJECT
  public:
    PointEntry(const MainControls &c, WaveformHost &host, QObject *parent = nullptr);

    // Start-up: commits the four fields once from their design texts, in the
    // order start index, end index, start value, end value.
    void startUp();

    // Writes the start point and makes it the end point as well.
    void Command_ArbPoint_Click();
    // Writes the straight segment from the start point to the end point; a
    // segment runs only from a lower to a higher index, otherwise only the
    // start point is written.
    void Command_ArbLine_Click();
    // The menu's "分段输入": the keyboard focus to the start index.
    void mnuArbLineDraw_Click();

    int LineStartX() const { return lineStartX_; }
    int LineStopX() const { return lineStopX_; }
    float LineStartY() const { return lineStartY_; }
    float LineStopY() const { return lineStopY_; }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void commitIndex(QLineEdit *field, int &variable);
    void commitValue(QLineEdit *field, float &variable);
    // The field's key rules, and its commit into the variable.
    void attachIndex(QLineEdit *field, int &variable);
    void attachValue(QLineEdit *field, float &variable);
    // Stores a value at an index, ignoring indices outside the buffer.
    static void writePoint(ArbStore &points, long long index, double value);

    WaveformHost &host_;
    QLineEdit *Text_ArbLineStartX_ = nullptr;
    QLineEdit *Text_ArbLineStartY_ = nullptr;
    QLineEdit *Text_ArbLineStopX_ = nullptr;
    QLineEdit *Text_ArbLineStopY_ = nullptr;
    int lineStartX_ = 0;
    int lineStopX_ = 0;
    float lineStartY_ = 0.0f;
    float lineStopY_ = 0.0f;
    // Mouse events of the start index after the press that selected its text.
    bool swallowingMouse_ = false;
};

} // namespace arb
