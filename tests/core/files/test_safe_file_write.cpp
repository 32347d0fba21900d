#include "core/files/SafeFileWrite.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace arb;

namespace
{

QByteArray Read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

struct stat Stat(const QString &path)
{
    struct stat st = {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st;
}

// A file of mode mode, in group 4242 where we may give it one.
void Make(const QString &path, mode_t mode)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old contents");
    f.close();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 0, 4242), 0);
    }
}

// The write as the unprivileged user nobody, in a child process, when we are
// root; as ourselves otherwise.
FileWriteResult WriteUnprivileged(const QString &path, const QByteArray &bytes)
{
    if (::geteuid() != 0)
        return WriteFileSafely(path, bytes);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(100);
        ::_exit(static_cast<int>(WriteFileSafely(path, bytes)));
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) > 2) {
        ADD_FAILURE() << "the unprivileged child did not run";
        return FileWriteResult::CreateFailed;
    }
    return static_cast<FileWriteResult>(WEXITSTATUS(status));
}

} // namespace

TEST(WriteFileSafely, ANewFileTakesTheOldOnesPlaceWithItsModeAndGroup)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wave.arb"));
    Make(path, 0640);
    const struct stat before = Stat(path);
    EXPECT_EQ(WriteFileSafely(path, "new"), FileWriteResult::Written);
    EXPECT_EQ(Read(path), QByteArray("new"));
    const struct stat after = Stat(path);
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(WriteFileSafely, AFolderWithoutWriteAccessGetsTheFileRewrittenInPlace)
{
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    const QString folder = dir.filePath(QStringLiteral("shared"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString path = folder + QStringLiteral("/wave.arb");
    const QString link = dir.filePath(QStringLiteral("link.arb"));
    // Writable by everyone, in a folder where only its owner may create files.
    Make(path, 0646);
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
    const struct stat before = Stat(path);

    EXPECT_EQ(WriteUnprivileged(path, "new"), FileWriteResult::Written);
    EXPECT_EQ(Read(link), QByteArray("new"));
    const struct stat after = Stat(path);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_nlink, 2u);
    EXPECT_EQ(after.st_mode & 07777, 0646u);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    ::chmod(QFile::encodeName(folder).constData(), 0755);
}
