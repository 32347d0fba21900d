// Sources the import reader once took with wrong values and no word: each
// reproducer lies in tests/data/import_fuzz (the large ones in its folder
// "large", which the mutation run leaves out).
#include "core/ImportNumber.h"
#include "core/ImportReader.h"
#include "tests/support/TestFiles.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{

using namespace arb;

QByteArray DataFile(const char *name)
{
    const QString path = test::TestDataDir("import_fuzz") + QLatin1Char('/') + QString::fromLatin1(name);
    EXPECT_TRUE(QFile::exists(path)) << name;
    return test::FileBytes(path);
}

ImportReadResult ReadBytes(QByteArray bytes, ImportReadOptions o = {}, std::size_t block = 0)
{
    if (block)
        o.blockBytes = block;
    QBuffer b(&bytes);
    b.open(QIODevice::ReadOnly);
    return ReadImport(b, o);
}

std::vector<float> Column(const ImportReadResult &r, int c)
{
    return r.table.columns.at(static_cast<std::size_t>(c));
}

NumberScan Scan(const std::string &text, float &value)
{
    const char *p = text.data();
    return ScanNumber(p, text.data() + text.size(), value);
}

TEST(ImportWrongValues, ManyDigitsAreJudgedByTheirValue)
{
    float v = 1.0f;
    // Out of range in double precision as well, either way.
    EXPECT_EQ(Scan("1" + std::string(310, '0') + "e-1", v), NumberScan::BeyondSingle);
    EXPECT_EQ(Scan("0." + std::string(330, '0') + "1e400", v), NumberScan::BeyondSingle);
    EXPECT_EQ(Scan("0." + std::string(330, '0') + "1", v), NumberScan::Ok);
    EXPECT_EQ(v, 0.0f);
    EXPECT_EQ(Scan("-1000e-1003", v), NumberScan::Ok);
    EXPECT_TRUE(v == 0.0f && std::signbit(v));
    EXPECT_EQ(Scan("3.4028235e38", v), NumberScan::Ok);
    EXPECT_EQ(Scan("3.40282357e38", v), NumberScan::BeyondSingle); // rounds beyond the largest float
    EXPECT_EQ(Scan("7e-46", v), NumberScan::Ok);                   // below half the smallest float
    EXPECT_EQ(v, 0.0f);

    const ImportReadResult large = ReadBytes(DataFile("num_many_digits_large.txt"));
    EXPECT_EQ(large.error, ImportError::BeyondSingle);
    EXPECT_EQ(large.line, 2);
    const ImportReadResult tiny = ReadBytes(DataFile("num_many_digits_tiny.txt"));
    ASSERT_EQ(tiny.error, ImportError::None);
    EXPECT_EQ(Column(tiny, 0), (std::vector<float>{0.5f, 0.0f, 0.25f, -0.0f, 0.75f}));
    EXPECT_TRUE(std::signbit(Column(tiny, 0)[3]));
}

} // namespace
