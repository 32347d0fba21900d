#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace arb::test
{

// A 64 KiB tmpfs of its own, so that a test can fill a real file system to
// the last byte. Mounting needs root (CAP_SYS_ADMIN); where it fails,
// mounted() is false and skipReason() says why.
class SmallTmpfs
{
  public:
    SmallTmpfs()
    {
        if (!dir_.isValid()) {
            reason_ = "no temporary folder for the mount point";
            return;
        }
        const QByteArray where = QFile::encodeName(dir_.path());
        if (::mount("tmpfs", where.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0755") != 0) {
            reason_ = std::string("cannot mount a small tmpfs to fill (needs root): ") + std::strerror(errno);
            return;
        }
        mounted_ = true;
    }
    ~SmallTmpfs()
    {
        if (mounted_)
            ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
    }
    SmallTmpfs(const SmallTmpfs &) = delete;
    SmallTmpfs &operator=(const SmallTmpfs &) = delete;

    bool mounted() const { return mounted_; }
    const std::string &skipReason() const { return reason_; }
    QString filePath(const QString &name) const { return dir_.filePath(name); }

    // Fills the file system with one-page files until nothing more fits,
    // then frees freePages of them again.
    void fill(int freePages)
    {
        const QByteArray page(4096, 'x');
        int n = 0;
        for (;; ++n) {
            const QByteArray name = QFile::encodeName(filePath(QStringLiteral("fill%1").arg(n)));
            const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const bool full = fd < 0 || ::write(fd, page.constData(), page.size()) != page.size();
            if (fd >= 0)
                ::close(fd);
            if (full) {
                ::unlink(name.constData());
                break;
            }
        }
        for (int i = 0; i < freePages && i < n; ++i)
            QFile::remove(filePath(QStringLiteral("fill%1").arg(i)));
    }

    // The names in the file system other than the filler.
    QStringList names() const
    {
        QStringList list = QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        list.removeIf([](const QString &n) { return n.startsWith(QLatin1String("fill")); });
        return list;
    }

  private:
    QTemporaryDir dir_;
    bool mounted_ = false;
    std::string reason_;
};

} // namespace arb::test
