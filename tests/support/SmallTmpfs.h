#pragma once

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/mount.h>

namespace arb::test
{

// A 64 KiB tmpfs of its own, for filling a real file system to the last
// page. Mounting needs root; where it fails, skipReason() says why.
class SmallTmpfs
{
  public:
    SmallTmpfs()
    {
        if (::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                    "size=64k") != 0)
            reason_ = std::string("cannot mount a small tmpfs to fill (needs root): ") + std::strerror(errno);
    }
    ~SmallTmpfs()
    {
        if (mounted())
            ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
    }
    SmallTmpfs(const SmallTmpfs &) = delete;
    SmallTmpfs &operator=(const SmallTmpfs &) = delete;

    bool mounted() const { return reason_.empty(); }
    const std::string &skipReason() const { return reason_; }
    QString filePath(const QString &name) const { return dir_.filePath(name); }

    // Fills the file system with one-page files, then frees freePages of them.
    void fill(int freePages)
    {
        int n = 0;
        for (bool room = true; room; ++n) {
            QFile page(filePath(QStringLiteral("fill%1").arg(n)));
            room =
                page.open(QIODevice::WriteOnly) && page.write(QByteArray(4096, 'x')) == 4096 && page.flush();
            if (!room)
                page.remove();
        }
        for (int i = 0; i < freePages; ++i)
            QFile::remove(filePath(QStringLiteral("fill%1").arg(i)));
    }

    // The files other than the filler.
    QStringList names() const
    {
        return QDir(dir_.path())
            .entryList(QDir::Files | QDir::Hidden)
            .filter(QRegularExpression("^(?!fill)"));
    }

  private:
    QTemporaryDir dir_;
    std::string reason_;
};

} // namespace arb::test
