// Sources the import reader once took with wrong values and no word: each
// reproducer lies in tests/data/import_fuzz (the large ones in its folder
// "large", which the mutation run leaves out).
#include "core/import/ImportNumber.h"
#include "core/import/ImportReader.h"
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

TEST(ImportWrongValues, OwnFormsWhateverTheSize)
{
    // Padded with blank lines beyond 1 MiB.
    const ImportReadResult plain = ReadBytes(DataFile("large/own_plain_padded.txt"));
    ASSERT_EQ(plain.error, ImportError::None);
    EXPECT_EQ(plain.table.form, ImportForm::Plain);
    EXPECT_EQ(Column(plain, 0), (std::vector<float>{0.5f, -0.5f, 0.25f, -0.25f}));
    const ImportReadResult agilent = ReadBytes(DataFile("large/own_agilent10_padded.txt"));
    ASSERT_EQ(agilent.error, ImportError::None);
    EXPECT_EQ(agilent.table.form, ImportForm::Agilent10);
    EXPECT_EQ(Column(agilent, 0), (std::vector<float>{0.5f, -1.0f, 0.999969482421875f, 0.0f}));
    // In blocks that cut the lines apart, too.
    EXPECT_EQ(ReadBytes(DataFile("large/own_plain_padded.txt"), {}, 7).table.form, ImportForm::Plain);
}

TEST(ImportWrongValues, EveryLineIsHeldToTheLimit)
{
    ImportReadOptions small;
    small.maxLineBytes = 512;
    const QByteArray blanks(600, ' ');
    const struct {
        QByteArray bytes;
        std::int64_t line;
    } cases[] = {
        {DataFile("line_long_blanks.txt"), 2},
        {"0.1\n0.2\n" + blanks + "\n0.3\n0.4\n", 3},    // a blank line
        {"0.1\n0.2\n#" + blanks + "\n0.3\n0.4\n", 3},   // a comment
        {"1,2\n3,4\n5," + blanks + "6\n7,8\n9,1\n", 3}, // blanks between columns
        {"0,25\n0,5\n0,75" + blanks + "\n-1\n", 3},     // the comma in doubt
        {"0,25\n-1\n0,75" + blanks + "\n0,5\n", 3},     // ... after a fault of one reading
        {"4\n0.1\n0.2\n0.3\n0.4" + blanks + "\n", 5},   // after a plain form's count
    };
    for (const auto &c : cases)
        for (const std::size_t block : {std::size_t{0}, std::size_t{5}, std::size_t{64}}) {
            const ImportReadResult r = ReadBytes(c.bytes, small, block);
            EXPECT_EQ(r.error, ImportError::LineTooLong) << c.bytes.left(20).toStdString() << " " << block;
            EXPECT_EQ(r.line, c.line) << c.bytes.left(20).toStdString() << " " << block;
            EXPECT_EQ(r.expected, 0) << c.bytes.left(20).toStdString() << " " << block;
        }
    // The default limit of 1 MiB.
    EXPECT_EQ(ReadBytes("0.1\n0.5" + QByteArray(2 << 20, ' ') + "\n0.2\n0.3\n").error,
              ImportError::LineTooLong);
}

TEST(ImportWrongValues, NulBytesMakeEveryFormBinary)
{
    const QByteArray maker = "Copyright: Korvane Technologies\r\nFile Format:2.0\r\nData Points:4\r\n"
                             "Arb Name:SINE1\r\n0.5\r\n-0.5\r\n1\r\n-1\r\n";
    const QByteArray nul(1, '\0');
    const QByteArray files[] = {
        DataFile("own_maker20_nul_name.arb"),
        DataFile("own_maker20_nul_after.arb"),
        maker + "trailing text " + nul,
        "4\n0.1\n0.2\n0.3\n0.4\n\n" + nul,
        "Copyright: Agilent Technologies\nFile Format:1.0\nx\ny\nData Points:4\nData:\n1\n2\n3\n4\n" + nul,
        // A fault before the NUL, in another block than the NUL; one of the
        // two readings of a comma in doubt.
        "0.1\nabc\n" + QByteArray(100, '\n') + nul,
        "0,25\n0,5\n-1\n" + QByteArray(100, '\n') + "0,5\n" + nul,
    };
    for (const QByteArray &bytes : files)
        for (const std::size_t block : {std::size_t{0}, std::size_t{1}, std::size_t{16}}) {
            const ImportReadResult r = ReadBytes(bytes, {}, block);
            EXPECT_EQ(r.error, ImportError::Binary) << bytes.toStdString() << " " << block;
            EXPECT_EQ(r.line, 0);
            EXPECT_EQ(r.expected, 0);
        }
    EXPECT_EQ(ReadBytes(maker).table.name, "SINE1");
}

TEST(ImportWrongValues, ACommaInDoubtOffersBothReadings)
{
    // A waveform written with a decimal comma: the comma first.
    const ImportReadResult wave = ReadBytes(DataFile("decimal_comma_column.csv"));
    ASSERT_EQ(wave.error, ImportError::None);
    EXPECT_EQ(wave.decimalMark, DecimalMark::Comma);
    EXPECT_EQ(Column(wave, 0), (std::vector<float>{0.25f, -0.5f, -1.0f, 0.75f}));
    ASSERT_TRUE(wave.otherMark);
    EXPECT_EQ(wave.otherMark->decimalMark, DecimalMark::Point);
    EXPECT_EQ(wave.otherMark->error, ImportError::ColumnCount); // "-1" has one column
    EXPECT_EQ(wave.otherMark->line, 3);
    EXPECT_FALSE(wave.otherMark->otherMark);

    // An index that grows: two columns first.
    const ImportReadResult pairs = ReadBytes(DataFile("integer_pairs.csv"));
    ASSERT_EQ(pairs.error, ImportError::None);
    EXPECT_EQ(pairs.decimalMark, DecimalMark::Point);
    ASSERT_EQ(pairs.table.columnCount(), 2);
    EXPECT_EQ(Column(pairs, 1), (std::vector<float>{100, 200, 300, 400}));
    ASSERT_TRUE(pairs.otherMark);
    EXPECT_EQ(pairs.otherMark->error, ImportError::None);
    EXPECT_EQ(pairs.otherMark->table.columns, (std::vector<std::vector<float>>{{0.1f, 1.2f, 2.3f, 3.4f}}));

    // Parts before the comma of 1 at most, names and comments between.
    const ImportReadResult named = ReadBytes("Wert\n+1,5\n# x\n-0,125\n\n0\n1,0\n");
    EXPECT_EQ(named.decimalMark, DecimalMark::Comma);
    EXPECT_EQ(Column(named, 0), (std::vector<float>{1.5f, -0.125f, 0.0f, 1.0f}));
    EXPECT_EQ(named.table.columnNames, (std::vector<std::string>{"Wert"}));

    // No doubt: a point, a blank after the comma, three runs, a semicolon,
    // a header that names the separator, integers alone.
    for (const char *text :
         {"0,0.5\n1,0.5\n2,0.5\n3,0.5\n", "0, 25\n0, 5\n0, 75\n1, 0\n", "0,1,2\n0,1,2\n0,1,2\n0,1,2\n",
          "0,25;1\n0,5;1\n0,75;1\n1;1\n", "Column Char:COMMA\n0,25\n0,5\n0,75\n1,0\n", "1\n2\n3\n4\n"}) {
        const ImportReadResult r = ReadBytes(text);
        EXPECT_EQ(r.error, ImportError::None) << text;
        EXPECT_FALSE(r.otherMark) << text;
        EXPECT_EQ(r.decimalMark, DecimalMark::Point) << text;
    }
}

TEST(ImportWrongValues, Utf16WithAByteOrderMarkReads)
{
    const ImportReadResult le = ReadBytes(DataFile("utf16le_bom.txt"));
    ASSERT_EQ(le.error, ImportError::None);
    EXPECT_EQ(le.table.columnNames, (std::vector<std::string>{"Wert"}));
    EXPECT_EQ(Column(le, 0), (std::vector<float>{0.5f, -0.25f, 1.0f, -1.0f}));
    const ImportReadResult be = ReadBytes(DataFile("utf16be_bom.csv"), {}, 3);
    ASSERT_EQ(be.error, ImportError::None);
    EXPECT_EQ(be.table.columnNames, (std::vector<std::string>{"time", "value"}));
    EXPECT_EQ(Column(be, 1), (std::vector<float>{0.5f, -0.5f, 0.25f, 0.0f}));

    // The editor's own 2.0 form, and a NUL, in UTF-16.
    const QString maker =
        QStringLiteral("Copyright: Korvane Technologies\r\nFile Format:2.0\r\nData Points:4\r\n"
                       "Arb Name:SINE1\r\n0.5\r\n-0.5\r\n1\r\n-1\r\n");
    QByteArray utf16("\xFF\xFE");
    utf16.append(reinterpret_cast<const char *>(maker.utf16()), maker.size() * 2);
    const ImportReadResult own = ReadBytes(utf16, {}, 5);
    EXPECT_EQ(own.table.form, ImportForm::Maker20);
    EXPECT_EQ(own.table.name, "SINE1");
    EXPECT_EQ(ReadBytes(utf16 + QByteArray(2, '\0')).error, ImportError::Binary);
}

} // namespace
