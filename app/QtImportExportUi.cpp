#include "app/QtImportExportUi.h"

#include "app/ImportDialog.h"

#include <QInputDialog>
#include <QProgressDialog>

namespace arb
{

namespace
{

// A progress dialog that appears only when reading goes on for more than a
// second; setValue lets it take the Cancel click.
class DialogProgress final : public ImportProgress
{
  public:
    DialogProgress(const QString &fileName, QWidget *parent)
        : dialog_(QStringLiteral("正在读取 %1 …").arg(fileName), QStringLiteral("取消"), 0, kSteps, parent)
    {
        dialog_.setObjectName(QStringLiteral("ImportProgress"));
        dialog_.setWindowTitle(QStringLiteral("导入波形"));
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(1000);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
        dialog_.setValue(0);
    }

    bool update(std::int64_t done, std::int64_t total) override
    {
        const std::int64_t step = total > 0 ? std::min<std::int64_t>(done * kSteps / total, kSteps - 1) : 0;
        dialog_.setValue(static_cast<int>(step));
        return !dialog_.wasCanceled();
    }

  private:
    static constexpr int kSteps = 1000;
    QProgressDialog dialog_;
};

} // namespace

std::vector<QtImportExportUi::ExportFormChoice> QtImportExportUi::ExportFormChoices()
{
    return {{ExportForm::Csv, QStringLiteral("CSV 数值表（每行一个值）")},
            {ExportForm::HeaderShort, QStringLiteral("带文件头的波形文件（File Format:1.10，short 码值）")}};
}

std::optional<ExportForm> QtImportExportUi::ExportFormOf(const QString &caption)
{
    for (const ExportFormChoice &choice : ExportFormChoices())
        if (choice.caption == caption)
            return choice.form;
    return std::nullopt;
}

std::optional<ImportChoices> QtImportExportUi::chooseImport(const ImportReadResult &read,
                                                            const QString &fileName)
{
    ImportDialog dialog(read, fileName, parent_);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choices();
}

std::optional<ExportForm> QtImportExportUi::chooseExportForm()
{
    QInputDialog dialog(parent_);
    dialog.setObjectName(QStringLiteral("ExportFormDialog"));
    dialog.setWindowTitle(QStringLiteral("导出波形"));
    dialog.setLabelText(QStringLiteral("导出格式："));
    QStringList captions;
    for (const ExportFormChoice &choice : ExportFormChoices())
        captions << choice.caption;
    dialog.setComboBoxItems(captions);
    dialog.setComboBoxEditable(false);
    dialog.setOkButtonText(QStringLiteral("确定"));
    dialog.setCancelButtonText(QStringLiteral("取消"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return ExportFormOf(dialog.textValue());
}

std::unique_ptr<ImportProgress> QtImportExportUi::readProgress(const QString &fileName)
{
    return std::make_unique<DialogProgress>(fileName, parent_);
}

} // namespace arb
