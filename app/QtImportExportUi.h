#pragma once

#include "app/ImportExportUi.h"

#include <QPointer>
#include <QWidget>
#include <optional>
#include <vector>

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

    // The export forms as the form choice lists them: each caption with the
    // form it stands for.
    struct ExportFormChoice {
        ExportForm form;
        QString caption;
    };
    static std::vector<ExportFormChoice> ExportFormChoices();
    // The form a caption of the choice stands for; none for another text.
    static std::optional<ExportForm> ExportFormOf(const QString &caption);

  private:
    QPointer<QWidget> parent_;
};

} // namespace arb
