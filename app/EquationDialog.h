#pragma once

#include "core/equation/EquationOutcome.h"
#include "core/equation/WaveEquation.h"

#include <QDialog>
#include <QStringList>
#include <vector>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSpinBox;

namespace arb
{

struct ArbStore;
class WavePreview;

// The dialog of "任意公式": a formula with the last ones used, its range of
// points and random seed, worked examples, a preview of the waveform the
// formula makes that follows the text as it is typed, and a status line with
// the first mistake or the value range. "确定" is enabled only for a result
// that can be stored.
class EquationDialog : public QDialog
{
    Q_OBJECT
  public:
    // store is read, never written; history is newest first.
    EquationDialog(const ArbStore &store, const QStringList &history, QWidget *parent = nullptr);
    ~EquationDialog() override;

    EquationChoices choices() const;
    // What the current choices give, as the preview shows it.
    const EquationOutcome &outcome() const { return outcome_; }

    // Captions of the choice "超出 ±1 时", in the order of EquationOverflow.
    static QStringList OverflowCaptions();

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void refresh();
    void chooseExample(QListWidgetItem *item);

    const ArbStore &store_;
    WaveEquation equation_;
    EquationOutcome outcome_;
    std::vector<float> shown_;
    WavePreview *preview_ = nullptr;
    QComboBox *text_ = nullptr;
    QListWidget *examples_ = nullptr;
    QSpinBox *first_ = nullptr;
    QSpinBox *last_ = nullptr;
    QSpinBox *seed_ = nullptr;
    QLabel *status_ = nullptr;
    QLabel *overflowLabel_ = nullptr;
    QComboBox *overflow_ = nullptr;
    QPushButton *ok_ = nullptr;
};

} // namespace arb
