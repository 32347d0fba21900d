#include "core/import/ImportReader.h"

#include "core/import/ImportOwnForm.h"
#include "core/import/ImportSource.h"
#include "core/import/ImportTableReader.h"

#include <QBuffer>
#include <QByteArray>
#include <QIODevice>
#include <memory>
#include <utility>

namespace arb
{

const ImportReadResult &ReadingWithMark(const ImportReadResult &read, DecimalMark mark)
{
    return read.otherMark && read.decimalMark != mark ? *read.otherMark : read;
}

ImportReadResult ReadImport(QIODevice &device, const ImportReadOptions &options)
{
    if (device.isSequential()) {
        // A pipe or the like cannot go back for a second reading: its bytes
        // are taken into memory first.
        QByteArray bytes = device.readAll();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        return ReadImport(buffer, options);
    }
    ImportReadResult r;
    ImportSource source(device, options);
    OwnFormProbe own = ProbeOwnForm(source, options);
    if (own.outcome == OwnFormProbe::Outcome::Own) {
        r.table = std::move(own.table);
        return r;
    }
    if (own.outcome == OwnFormProbe::Outcome::Failed || !source.rewind(false)) {
        r.error = own.outcome == OwnFormProbe::Outcome::Failed ? own.error : ImportError::ReadFailed;
        return r;
    }
    TableReading pointReading = ReadImportTable(source, options, false);
    ImportReadResult &point = pointReading.result;
    if (!pointReading.decimalMarkInDoubt)
        return std::move(point);
    if (!source.rewind(true)) {
        r.error = ImportError::ReadFailed;
        return r;
    }
    ImportReadResult comma = ReadImportTable(source, options, true).result;
    if (comma.error == ImportError::Cancelled || comma.error == ImportError::ReadFailed)
        return comma;
    comma.decimalMark = DecimalMark::Comma;
    // The values of a waveform (parts before the comma within -1..1) say
    // decimal comma; an index or time column that grows says two columns.
    const bool commaFirst = comma.error == ImportError::None && pointReading.integerPartsWithinOne;
    ImportReadResult &first = commaFirst ? comma : point;
    ImportReadResult &second = commaFirst ? point : comma;
    first.otherMark = std::make_shared<const ImportReadResult>(std::move(second));
    return std::move(first);
}

} // namespace arb
