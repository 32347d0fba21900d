#include "app/ImportExportCommands.h"

#include "app/MainMenus.h"

#include "app/FileCommands.h"
#include "app/ImportExportUi.h"
#include "app/WaveformHost.h"
#include "core/ArbStore.h"
#include "core/WaveDocument.h"
#include "core/WaveStep.h"
#include "core/files/SafeFileWrite.h"
#include "core/import/ImportMessages.h"
#include "view/UserPrompt.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QWidget>
#include <algorithm>

namespace arb
{

ImportExportCommands::ImportExportCommands(WaveformHost &host, ImportExportUi &ui, QObject *parent)
    : QObject(parent), host_(host), ui_(ui)
{
}

QString ImportExportCommands::ImportFilter()
{
    return QStringLiteral(
        "波形数据 (*.csv *.txt *.dat *.arb *.tsv)|*.csv *.txt *.dat *.arb *.tsv|所有文件 (*)|*");
}

QString ImportExportCommands::ExportFilter(ExportForm form)
{
    if (form == ExportForm::Csv)
        return QStringLiteral("CSV 数值表 (*.csv)|*.csv|所有文件 (*)|*");
    return QStringLiteral("带文件头的波形文件 (*.arb)|*.arb|所有文件 (*)|*");
}

void ImportExportCommands::connectMenu(const MainMenus &m)
{
    if (m.menuFileImport)
        connect(m.menuFileImport, &QAction::triggered, this, &ImportExportCommands::menuFileImport_Click);
    if (m.menuFileExport)
        connect(m.menuFileExport, &QAction::triggered, this, &ImportExportCommands::menuFileExport_Click);
}

void ImportExportCommands::report(const QString &text)
{
    host_.prompt().message(text, FileCommandsTitle(), MessageIcon::Exclamation);
}

void ImportExportCommands::menuFileImport_Click()
{
    const WaveStep step(host_.document(), QStringLiteral("导入波形"));
    const std::optional<QString> path = host_.prompt().openFile(QStringLiteral("导入波形"), ImportFilter());
    if (!path)
        return;
    const QString fileName = QFileInfo(*path).fileName();
    ImportReadResult read;
    {
        QFile file(*path);
        if (!file.open(QIODevice::ReadOnly)) {
            report(FileOpenFailedMessage());
            return;
        }
        std::unique_ptr<ImportProgress> progress = ui_.readProgress(fileName);
        ImportReadOptions options = options_;
        if (progress)
            options.progress = [&progress](std::int64_t done, std::int64_t total) {
                return progress->update(done, total);
            };
        read = ReadImport(file, options);
    }
    if (read.error != ImportError::None) {
        const QString text = ImportErrorMessage(read, options_);
        if (!text.isEmpty())
            report(text);
        return;
    }

    const std::optional<ImportChoices> choices = ui_.chooseImport(read, fileName);
    if (!choices)
        return;
    const ImportReadResult &chosen = ReadingWithMark(read, choices->decimalMark);
    if (chosen.error != ImportError::None) {
        report(ImportErrorMessage(chosen, options_));
        return;
    }
    const ImportTable &table = chosen.table;
    if (choices->column < 0 || choices->column >= table.columnCount()) {
        report(MissingColumnMessage(choices->column, table.columnCount()));
        return;
    }
    ImportChoices held = *choices;
    held.points = std::clamp(held.points, kMinArbLength, kMaxArbLength);
    replaceWaveform(table, ShapeImport(table, held));
}

void ImportExportCommands::replaceWaveform(const ImportTable &table, const ImportedPoints &imported)
{
    WaveDocument &document = host_.document();
    ArbStore next = document.store();
    const auto count = static_cast<int>(imported.points.size());
    std::copy(imported.points.begin(), imported.points.end(), next.ArbData.begin());
    next.ArbLength = static_cast<float>(count);
    document.replaceAll(next);
    // As "打开" does: after the new waveform, which may itself put the default name back.
    if (table.form == ImportForm::Maker20)
        document.setName(
            QString::fromLocal8Bit(table.name.data(), static_cast<qsizetype>(table.name.size())));
}

void ImportExportCommands::menuFileExport_Click()
{
    const std::optional<ExportForm> form = ui_.chooseExportForm();
    if (!form)
        return;
    const std::optional<QString> path =
        host_.prompt().saveFile(QStringLiteral("导出波形"), ExportFilter(*form));
    if (!path)
        return;
    writeFile(*path, ExportBytes(host_.document().store(), *form));
}

bool ImportExportCommands::writeFile(const QString &path, const QByteArray &bytes)
{
    switch (WriteFileSafely(path, bytes)) {
    case FileWriteResult::Written: return true;
    case FileWriteResult::CreateFailed: report(FileCreateFailedMessage()); return false;
    case FileWriteResult::WriteFailed: report(FileWriteFailedMessage()); return false;
    }
    return false;
}

} // namespace arb
