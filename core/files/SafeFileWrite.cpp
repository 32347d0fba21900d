#include "core/files/SafeFileWrite.h"

#include <QFile>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace arb
{

namespace
{

#ifdef Q_OS_UNIX
// Gives a new file written in place of an old one the old one's owner and
// group: both where the user may (root), else the group alone where the user
// belongs to it. A file the user may not give away keeps the user's own.
void KeepOwnership(const QSaveFile &file, const QString &path)
{
    struct stat old = {};
    struct stat now = {};
    const int fd = file.handle();
    if (fd < 0 || ::stat(QFile::encodeName(path).constData(), &old) != 0 || ::fstat(fd, &now) != 0)
        return;
    // Written in place: nothing to keep.
    if (old.st_dev == now.st_dev && old.st_ino == now.st_ino)
        return;
    if (old.st_uid == now.st_uid && old.st_gid == now.st_gid)
        return;
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && old.st_gid != now.st_gid) {
        const int groupKept = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        Q_UNUSED(groupKept);
    }
}

// Data the kernel has not written yet can still fail (a quota, a network
// file system); a device that cannot sync reports EINVAL and counts as written.
bool SyncToDisk(const QSaveFile &file)
{
    const int fd = file.handle();
    return fd < 0 || ::fsync(fd) == 0 || errno == EINVAL;
}
#else
void KeepOwnership(const QSaveFile &, const QString &) {}
bool SyncToDisk(const QSaveFile &)
{
    return true;
}
#endif

} // namespace

FileWriteResult WriteFileSafely(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return FileWriteResult::CreateFailed;
    KeepOwnership(file, path);

    // A text shorter than the device's buffer reaches the disk only when the
    // buffer is flushed, and commit() does not report a failure of that last
    // write: flush and check here, while the old file can still be kept.
    const bool written = file.write(bytes) == bytes.size() && file.flush() &&
                         file.error() == QFileDevice::NoError && SyncToDisk(file);
    if (!written) {
        file.cancelWriting();
        return FileWriteResult::WriteFailed;
    }
    return file.commit() ? FileWriteResult::Written : FileWriteResult::WriteFailed;
}

} // namespace arb
