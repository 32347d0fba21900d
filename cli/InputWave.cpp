#include "cli/InputWave.h"

#include "core/FileMessages.h"
#include "core/ImportMessages.h"
#include "core/ImportReader.h"
#include "core/NameRules.h"

#include <QFile>
#include <algorithm>

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

} // namespace arb::cli
