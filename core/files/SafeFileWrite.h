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
// is reported as WriteFailed.
FileWriteResult WriteFileSafely(const QString &path, const QByteArray &bytes);

} // namespace arb
