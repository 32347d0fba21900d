#pragma once

#include "app/ShapeMemory.h"
#include "core/shapes/ShapeSynthesis.h"

#include <QDialog>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QStackedWidget;

namespace arb
{

class UserPrompt;
class WavePreview;

// "更多波形": the list of shapes, the chosen shape's parameters, the range
// of points it replaces, amplitude and offset, and a preview of the whole
// waveform as 确定 would leave it. A value that is refused is named in a
// note as it is typed, and 确定 then shows the message and keeps the dialog
// open.
class ShapeDialog : public QDialog
{
    Q_OBJECT
  public:
    // points: the waveform's count points in use, from which the range is
    // replaced; choices: the fields' first values.
    ShapeDialog(const float *points, int count, const ShapeChoices &choices, UserPrompt &prompt,
                QWidget *parent = nullptr);
    ~ShapeDialog() override;

    static QString Title(); // "更多波形"

    // What the fields give; none while one is refused, *refusal saying which.
    std::optional<ShapeRequest> request(ShapeRefusal *refusal = nullptr) const;

  public slots:
    void accept() override;

  private:
    QWidget *buildPage(const ShapeDescription &shape, const std::vector<double> &values);
    ShapeKind chosen() const;
    QWidget *field(int which) const;
    void refresh();

    UserPrompt &prompt_;
    std::vector<float> points_;
    std::vector<float> shown_;
    QListWidget *list_ = nullptr;
    QStackedWidget *pages_ = nullptr;
    std::vector<std::vector<QWidget *>> fields_; // per shape: a line edit or a list per parameter
    QLineEdit *start_ = nullptr;
    QLineEdit *end_ = nullptr;
    QLineEdit *amplitude_ = nullptr;
    QLineEdit *offset_ = nullptr;
    QLabel *formula_ = nullptr;
    QLabel *note_ = nullptr;
    WavePreview *preview_ = nullptr;
};

} // namespace arb
