#include "cli/InputWave.h"

#include "core/NameRules.h"
#include "core/files/FileMessages.h"
#include "core/files/WaveFileReader.h"
#include "core/import/ImportMessages.h"
#include "core/import/ImportReader.h"

#include <QFile>
#include <algorithm>
#include <optional>

namespace arb::cli
{

QString NameFromFile(const std::string &name)
{
    return CheckArbName(QString::fromLocal8Bit(name.data(), static_cast<qsizetype>(name.size()))).text;
}

InputResult ImportWave(const QString &path, const ImportRequest &request, const QString &defaultName)
{
    InputResult r;
    ImportReadResult read;
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            r.error = FileOpenFailedMessage();
            return r;
        }
        read = ReadImport(file);
    }
    if (read.error != ImportError::None) {
        r.error = ImportErrorMessage(read, {});
        return r;
    }
    const ImportTable &table = read.table;
    const ImportChoices choices = ChoicesFor(table, read.decimalMark, request);
    if (choices.column < 0 || choices.column >= table.columnCount()) {
        r.error = MissingColumnMessage(choices.column, table.columnCount());
        return r;
    }
    const ImportedPoints imported = ShapeImport(table, choices);

    auto wave = std::make_unique<InputWave>();
    const auto count = static_cast<int>(imported.points.size());
    std::copy(imported.points.begin(), imported.points.end(), wave->store.ArbData.begin());
    wave->store.ArbLength = static_cast<float>(count);
    wave->lengthText = QString::number(count);
    wave->name = table.form == ImportForm::Maker20 ? NameFromFile(table.name) : defaultName;
    r.wave = std::move(wave);
    return r;
}

namespace
{

// The file as "打开" reads it; none when its header is not one of the
// editor's forms, so that it is read as an import instead.
std::optional<InputResult> OpenOwnForm(const QString &path, const QString &defaultName)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    DeviceLineSource lines(file);
    WaveFileReader reader(lines);
    WaveFileHeader header;
    if (reader.readHeader(header) != WaveReadStatus::Ok || !IsOpenableCount(header.count))
        return std::nullopt;
    InputResult r;
    auto wave = std::make_unique<InputWave>();
    const int count = RoundHalfEven(static_cast<double>(header.count));
    const WaveReadStatus status = ReadPoints(reader, wave->store, count);
    if (status == WaveReadStatus::FormatError) {
        r.error = FileFormatMessage();
        return r;
    }
    if (status != WaveReadStatus::Ok) {
        // "打开" passes a file that ends early over in silence and keeps
        // what it read; a command says why it did nothing.
        r.error = status == WaveReadStatus::ReadError ? FileReadFailedMessage() : FileFormatMessage();
        return r;
    }
    wave->store.ArbLength = header.count;
    wave->lengthText = QString::number(static_cast<double>(header.count));
    wave->name = header.form == WaveFileForm::Maker20 ? NameFromFile(header.name) : defaultName;
    r.wave = std::move(wave);
    return r;
}

} // namespace

InputResult OpenWave(const QString &path, const ImportRequest &request, const QString &defaultName)
{
    const bool shaped = request.column || request.points || request.scaling;
    if (!shaped) {
        if (std::optional<InputResult> own = OpenOwnForm(path, defaultName))
            return std::move(*own);
    }
    return ImportWave(path, request, defaultName);
}

} // namespace arb::cli
