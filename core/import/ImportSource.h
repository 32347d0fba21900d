#pragma once

#include "core/import/ImportReader.h"

#include <QByteArray>
#include <QStringDecoder>
#include <cstddef>
#include <cstdint>
#include <vector>

class QIODevice;

namespace arb
{

// The text of an import source in UTF-8, read from a device that can seek:
// a UTF-8 byte-order mark is left out, UTF-16 with a byte-order mark (little
// or big end first, as spreadsheet tools write "Unicode text") is converted,
// and the progress callback hears of every block that takes the reading
// further into the device than it has been.
class ImportSource
{
  public:
    ImportSource(QIODevice &device, const ImportReadOptions &options);

    // Up to max bytes of text into out: the count, 0 at the end, -1 when
    // the device failed or the reading was cancelled (error() says which).
    std::int64_t read(char *out, std::size_t max);

    // Back to the first byte, for another reading of the same source; false
    // when the device cannot go back. The bytes read again count as progress
    // only with countAgain; else it resumes where the first reading stopped.
    bool rewind(bool countAgain);

    ImportError error() const { return error_; }

    // About how many bytes of text the source holds, for sizing the columns.
    std::int64_t textBytesGuess() const { return utf16_ ? total_ / 2 : total_; }

  private:
    std::int64_t fail(ImportError error);
    // Device bytes into raw; false when the device failed or the user cancelled.
    bool readDevice(char *raw, std::size_t max, std::int64_t &n);
    void start();

    QIODevice &device_;
    const ImportReadOptions &options_;
    qint64 begin_ = 0;
    std::int64_t total_ = 0;
    std::int64_t done_ = 0;
    std::int64_t reported_ = 0; // the furthest progress reported
    bool utf16_ = false;
    QStringDecoder decoder_;
    std::vector<char> raw_; // UTF-16 bytes as read
    QByteArray pending_;    // converted text not handed out yet
    std::size_t pendingAt_ = 0;
    ImportError error_ = ImportError::None;
};

} // namespace arb
