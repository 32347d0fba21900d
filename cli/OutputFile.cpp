#include "cli/OutputFile.h"

#include "cli/Arguments.h"
#include "core/ArbStore.h"
#include "core/files/FileMessages.h"
#include "core/files/SafeFileWrite.h"
#include "core/files/WaveFileWriter.h"
#include "core/import/ExportWriter.h"

#include <QFileInfo>

namespace arb::cli
{

namespace
{

std::optional<OutputForm> FormNamed(const QString &name)
{
    if (name == QLatin1String("csv"))
        return OutputForm::Csv;
    if (name == QLatin1String("arb"))
        return OutputForm::Header;
    if (name == QLatin1String("txt"))
        return OutputForm::Saved;
    return std::nullopt;
}

} // namespace

OutputFormResult OutputFormFor(const ParsedArguments &arguments, const QString &path)
{
    OutputFormResult r;
    if (arguments.has(QStringLiteral("format"))) {
        const QString name = arguments.value(QStringLiteral("format"));
        if (const std::optional<OutputForm> form = FormNamed(name))
            r.form = *form;
        else
            r.error = QStringLiteral("--format 应为 csv、arb 或 txt：%1").arg(name);
        return r;
    }
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (const std::optional<OutputForm> form = FormNamed(suffix))
        r.form = *form;
    else
        r.error = QStringLiteral("无法从文件名 %1 判断输出格式，请用 --format csv|arb|txt 指定").arg(path);
    return r;
}

QByteArray OutputBytes(ArbStore &store, OutputForm form, const QString &name, const QString &lengthText)
{
    switch (form) {
    case OutputForm::Csv: return CsvExportBytes(store);
    case OutputForm::Header: return HeaderExportBytes(store);
    case OutputForm::Saved: break;
    }
    ScaleToFullScale(store);
    const QByteArray n = name.toLocal8Bit();
    const QByteArray l = lengthText.toLocal8Bit();
    return QByteArray::fromStdString(SavedWaveText(store, std::string_view(n.constData(), n.size()),
                                                   std::string_view(l.constData(), l.size())));
}

std::optional<QString> WriteOutput(const QString &path, const QByteArray &bytes)
{
    switch (WriteFileSafely(path, bytes, InPlaceFallback::Refused)) {
    case FileWriteResult::Written: return std::nullopt;
    case FileWriteResult::CreateFailed: return FileCreateFailedMessage();
    case FileWriteResult::WriteFailed: return FileWriteFailedMessage();
    }
    return FileWriteFailedMessage();
}

} // namespace arb::cli
