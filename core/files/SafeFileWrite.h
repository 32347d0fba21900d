#pragma once

#include <QByteArray>
#include <QString>

namespace arb
{

enum class FileWriteResult {
    Written,      // the file holds exactly the bytes
    CreateFailed, // the file could not be created or opened for writing; nothing changed
    WriteFailed,  // writing failed; an existing file keeps its old contents where that can be
                  // guaranteed (see WriteFileSafely)
};

// Whether a file may be rewritten in place where no new file can be made
// beside it.
enum class InPlaceFallback {
    Allowed, // the window's "保存": the file is written, at the risk of leaving it incomplete
    Refused, // the command line: an existing file is never left incomplete (CreateFailed instead)
};

// Writes bytes as the whole contents of the file at path.
//
// Where the folder lets us create files, the bytes go to a new file beside
// the old one, which replaces it only once every byte is on the disk: a full
// disk, a write error or a crash leaves an existing file byte for byte as it
// was. The new file takes the old one's permissions, and its owner and group
// as far as the user may set them.
//
// Where only the file itself may be written (a folder without write access),
// the existing file is rewritten in place, which keeps its permissions, owner,
// group and hard links; a failure while writing then leaves it incomplete and
// is reported as WriteFailed. With InPlaceFallback::Refused that case is
// CreateFailed and the file is not touched.
FileWriteResult WriteFileSafely(const QString &path, const QByteArray &bytes,
                                InPlaceFallback fallback = InPlaceFallback::Allowed);

} // namespace arb
