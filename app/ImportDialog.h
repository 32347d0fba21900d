#pragma once

#include "core/ImportShaping.h"
#include "core/ImportTable.h"

#include <QDialog>
#include <memory>

class QComboBox;
class QLabel;
class QSpinBox;

namespace arb
{

class WavePreview;

// The import dialog: a preview of the waveform the choices give, drawn as
// the main plot draws it, the source's form, header, point count and value
// range, and the column, scaling and point count to import with.
class ImportDialog : public QDialog
{
    Q_OBJECT
  public:
    ImportDialog(const ImportTable &table, const QString &fileName, QWidget *parent = nullptr);
    ~ImportDialog() override;

    ImportChoices choices() const;

    // Scaling captions in the order of ImportScaling.
    static QStringList ScalingCaptions();

  private:
    void refresh();

    const ImportTable &table_;
    WavePreview *preview_ = nullptr;
    QComboBox *column_ = nullptr;
    QComboBox *scaling_ = nullptr;
    QSpinBox *points_ = nullptr;
    QLabel *source_ = nullptr;
    QLabel *clipped_ = nullptr;
    QLabel *resampled_ = nullptr;
};

} // namespace arb
