#pragma once

#include "app/ImportExportUi.h"

#include <QPointer>
#include <QWidget>

namespace arb
{

// The import dialog, the export form choice and a progress dialog on the desktop.
class QtImportExportUi final : public ImportExportUi
{
  public:
    explicit QtImportExportUi(QWidget *parent = nullptr) : parent_(parent) {}

    std::optional<ImportChoices> chooseImport(const ImportReadResult &read, const QString &fileName) override;
    std::optional<ExportForm> chooseExportForm() override;
    std::unique_ptr<ImportProgress> readProgress(const QString &fileName) override;

    // Captions of the export forms, in the order of ExportForm.
    static QStringList ExportFormCaptions();

  private:
    QPointer<QWidget> parent_;
};

} // namespace arb
