#pragma once

#include "core/import/ImportReader.h"
#include "core/import/ImportShaping.h"
#include "core/import/ImportTable.h"

#include <QDialog>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace arb
{

class WavePreview;

// The import dialog: a preview of the waveform the choices give, drawn as
// the main plot draws it, the source's form, header, point count and value
// range, and the column, scaling and point count to import with. Where the
// source's decimal mark is in doubt it offers both readings ("小数点").
class ImportDialog : public QDialog
{
    Q_OBJECT
  public:
    ImportDialog(const ImportReadResult &read, const QString &fileName, QWidget *parent = nullptr);
    ~ImportDialog() override;

    ImportChoices choices() const;

    // Scaling captions in the order of ImportScaling.
    static QStringList ScalingCaptions();

  private:
    DecimalMark decimalMark() const;
    // The reading of the chosen decimal mark: its columns and first choices.
    void takeReading();
    void refresh();

    const ImportReadResult &read_;
    const ImportReadResult *reading_ = nullptr;
    WavePreview *preview_ = nullptr;
    QComboBox *decimal_ = nullptr;
    QComboBox *column_ = nullptr;
    QComboBox *scaling_ = nullptr;
    QSpinBox *points_ = nullptr;
    QLabel *form_ = nullptr;
    QLabel *fault_ = nullptr;
    QLabel *source_ = nullptr;
    QLabel *clipped_ = nullptr;
    QLabel *resampled_ = nullptr;
    QPushButton *ok_ = nullptr;
};

} // namespace arb
