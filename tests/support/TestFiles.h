#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdlib>

namespace arb::test
{

// The folder of the test data named sub (ARB_TEST_DATA, set by the test run,
// or tests/data below the current folder).
inline QString TestDataDir(const char *sub)
{
    const char *root = std::getenv("ARB_TEST_DATA");
    return QString::fromLocal8Bit(root ? root : "tests/data") + QLatin1Char('/') + QString::fromLatin1(sub);
}

// The whole file; empty when it cannot be read.
inline QByteArray FileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes bytes as the whole file; false when it cannot be written.
inline bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace arb::test
