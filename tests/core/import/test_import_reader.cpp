// The import reader on the files of tests/data/import_fuzz: every form it is
// meant to tell apart, and every kind of bad input.
#include "core/import/ImportReader.h"
#include "tests/support/TestFiles.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <cstdlib>
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

ImportReadResult ReadBytes(QByteArray bytes, const ImportReadOptions &o = {})
{
    QBuffer b(&bytes);
    b.open(QIODevice::ReadOnly);
    return ReadImport(b, o);
}

ImportReadResult ReadFile(const char *name, const ImportReadOptions &o = {})
{
    return ReadBytes(DataFile(name), o);
}

std::vector<float> Column(const ImportReadResult &r, int c)
{
    return r.table.columns.at(static_cast<std::size_t>(c));
}

std::string Field(const ImportTable &t, const std::string &key)
{
    for (const HeaderField &f : t.fields)
        if (f.key == key)
            return f.value;
    return "(none)";
}

TEST(ImportReader, OwnFormsReadAsOpenReadsThem)
{
    const ImportReadResult plain = ReadFile("own_plain.txt");
    ASSERT_EQ(plain.error, ImportError::None);
    EXPECT_EQ(plain.table.form, ImportForm::Plain);
    ASSERT_EQ(plain.table.rows(), 8u);
    EXPECT_FLOAT_EQ(Column(plain, 0)[2], 0.636f);

    const ImportReadResult maker = ReadFile("own_maker20.arb");
    ASSERT_EQ(maker.error, ImportError::None);
    EXPECT_EQ(maker.table.form, ImportForm::Maker20);
    EXPECT_EQ(maker.table.name, "SINE1");
    EXPECT_EQ(Column(maker, 0), (std::vector<float>{0.5f, -0.5f, 1.0f, -1.0f, 0.0f}));

    // Codes of the 1.0 form are divided by 32768, as "打开" does.
    const ImportReadResult agilent = ReadFile("own_agilent10.txt");
    ASSERT_EQ(agilent.error, ImportError::None);
    EXPECT_EQ(agilent.table.form, ImportForm::Agilent10);
    EXPECT_FALSE(agilent.table.shortCodes);
    EXPECT_EQ(Column(agilent, 0), (std::vector<float>{0.5f, -1.0f, 0.999969482421875f, 0.0f}));
}

TEST(ImportReader, FirstLineIsAValueUnlessExactlyThatManyFollow)
{
    const ImportReadResult more = ReadFile("plain_count_then_more.txt");
    ASSERT_EQ(more.error, ImportError::None);
    EXPECT_EQ(more.table.form, ImportForm::Table);
    EXPECT_EQ(Column(more, 0), (std::vector<float>{4, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f}));
    // Values beyond ±1 after a count: a table as well.
    EXPECT_EQ(ReadBytes("4\n1\n2\n3\n4\n").table.rows(), 5u);
    // Trailing blank lines do not break the plain form; a count line of 4
    // with blanks around it is still the count.
    EXPECT_EQ(ReadBytes(" 4 \r\n0\r\n0\r\n0\r\n0\r\n\r\n  \r\n").table.form, ImportForm::Plain);

    const ImportReadResult small = ReadFile("list_small.txt");
    ASSERT_EQ(small.error, ImportError::None);
    EXPECT_FLOAT_EQ(Column(small, 0)[0], 1e-8f);
    EXPECT_EQ(ReadFile("list_ones.txt").table.rows(), 5u);
    EXPECT_EQ(Column(ReadFile("list_hundreds.dat"), 0).front(), 100.0f);
}

TEST(ImportReader, TablesOfEverySeparator)
{
    const ImportReadResult tv = ReadFile("time_value.csv");
    ASSERT_EQ(tv.error, ImportError::None);
    EXPECT_EQ(tv.table.columnNames, (std::vector<std::string>{"time", "value"}));
    EXPECT_EQ(Column(tv, 1), (std::vector<float>{0, 0.5f, 1.5f, -0.5f, 0}));

    const ImportReadResult crlf = ReadFile("time_value_crlf_nolast.csv");
    ASSERT_EQ(crlf.error, ImportError::None);
    EXPECT_EQ(crlf.table.columnNames[1], "Voltage (V)");
    EXPECT_EQ(Column(crlf, 1), (std::vector<float>{0.1f, 0.2f, 0.3f, 0.4f}));

    const ImportReadResult comma = ReadFile("semicolon_decimal_comma.csv");
    ASSERT_EQ(comma.error, ImportError::None);
    EXPECT_EQ(Column(comma, 1), (std::vector<float>{0.5f, -0.25f, 0.125f, 1.0f}));
    EXPECT_FLOAT_EQ(Column(comma, 0)[3], 0.003f);

    const ImportReadResult tabs = ReadFile("tabs.tsv");
    ASSERT_EQ(tabs.table.columnCount(), 3);
    EXPECT_EQ(Column(tabs, 2), (std::vector<float>{0.2f, 0.4f, 0.6f, 0.8f}));

    const ImportReadResult blanks = ReadFile("blanks.dat");
    ASSERT_EQ(blanks.table.columnCount(), 2);
    EXPECT_EQ(Column(blanks, 1), (std::vector<float>{-0.1f, -0.2f, -0.3f, -0.4f}));

    EXPECT_EQ(ReadFile("cr_only.txt").table.rows(), 5u);
    const ImportReadResult bom = ReadFile("bom_lf.csv");
    EXPECT_EQ(bom.table.columnNames, (std::vector<std::string>{"value"}));
    EXPECT_EQ(bom.table.rows(), 4u);
    EXPECT_EQ(ReadBytes("Voltage (V)\n1\n2\n3\n4\n").table.columnNames,
              (std::vector<std::string>{"Voltage (V)"}));
    EXPECT_EQ(ReadFile("trailing_separator.csv").table.columnCount(), 2);
    EXPECT_EQ(Column(ReadFile("plus_exponent.txt"), 0), (std::vector<float>{0.1f, -0.25f, 0.5f, 5.0f, 0.0f}));
    EXPECT_EQ(Column(ReadFile("tiny_underflow.txt"), 0)[1], 0.0f);
}

TEST(ImportReader, HeaderFormsAsFoundInTheWild)
{
    const ImportReadResult s = ReadFile("hdr_110_short.arb");
    ASSERT_EQ(s.error, ImportError::None);
    EXPECT_EQ(s.table.form, ImportForm::HeaderForm);
    EXPECT_TRUE(s.table.shortCodes);
    EXPECT_EQ(Field(s.table, "Sample Rate"), "1000");
    EXPECT_EQ(Field(s.table, "Filter"), "OFF");
    EXPECT_EQ(Column(s, 0), (std::vector<float>{0, 16384, 32767, -32767, -16384}));

    const ImportReadResult c = ReadFile("hdr_copyright_nospace.arb");
    ASSERT_EQ(c.error, ImportError::None);
    EXPECT_EQ(Field(c.table, "Copyright"), "\xC2\xA9 2008 Someone");
    EXPECT_FALSE(c.table.shortCodes);
    EXPECT_TRUE(ReadFile("hdr_mojibake.arb").table.shortCodes);

    const ImportReadResult upper = ReadFile("hdr_no_copyright_upper.arb");
    ASSERT_EQ(upper.error, ImportError::None);
    EXPECT_TRUE(upper.table.shortCodes);
    EXPECT_EQ(Field(upper.table, "File Format"), "1.10");
    EXPECT_TRUE(ReadFile("hdr_plain_quotes.arb").table.shortCodes);
    EXPECT_TRUE(ReadFile("hdr_single_quotes.arb").table.shortCodes);
    const ImportReadResult curly = ReadFile("hdr_curly.arb");
    EXPECT_TRUE(curly.table.shortCodes);
    EXPECT_EQ(curly.table.rows(), 4u);

    // No "Data:" line: the values start at the first number.
    const ImportReadResult hash = ReadFile("hdr_hash_comment.arb");
    ASSERT_EQ(hash.error, ImportError::None);
    EXPECT_EQ(Field(hash.table, "Data Type"), "float");
    EXPECT_EQ(Field(hash.table, "Sample Rate"), "1e6");
    EXPECT_EQ(Column(hash, 0).front(), 0.5f);
    EXPECT_EQ(ReadFile("hdr_points_last.arb").table.rows(), 4u);

    const ImportReadResult two = ReadFile("hdr_two_channels_tab.arb");
    ASSERT_EQ(two.table.columnCount(), 2);
    EXPECT_EQ(Column(two, 1).back(), -0.4f);
    EXPECT_EQ(ReadFile("hdr_semicolon_char.arb").table.columnCount(), 2);
}

TEST(ImportReader, BadInputNamesTheFaultAndLine)
{
    const struct {
        const char *file;
        ImportError error;
        std::int64_t line;
    } cases[] = {
        {"bad_empty.txt", ImportError::Empty, 0},
        {"bad_blank.txt", ImportError::Empty, 0},
        {"bad_no_numbers.txt", ImportError::NoNumbers, 0},
        {"bad_three_values.txt", ImportError::TooFewValues, 0},
        {"bad_text_in_values.csv", ImportError::NotANumber, 3},
        {"bad_inf.txt", ImportError::NotFinite, 2},
        {"bad_nan.txt", ImportError::NotFinite, 3},
        {"bad_beyond_single.txt", ImportError::BeyondSingle, 3},
        {"bad_column_short.csv", ImportError::ColumnCount, 3},
        {"bad_column_long.csv", ImportError::ColumnCount, 3},
        {"bad_binary.dat", ImportError::Binary, 0},
        {"bad_header_short.arb", ImportError::FewerThanHeader, 0},
        {"bad_after_data.arb", ImportError::NotANumber, 3},
        {"bad_channels.arb", ImportError::ColumnCount, 4},
    };
    for (const auto &c : cases) {
        const ImportReadResult r = ReadFile(c.file);
        EXPECT_EQ(r.error, c.error) << c.file;
        EXPECT_EQ(r.line, c.line) << c.file;
    }
    EXPECT_EQ(ReadFile("bad_three_values.txt").found, 3);
    EXPECT_EQ(ReadFile("bad_header_short.arb").expected, 10);
}

TEST(ImportReader, LimitsOfValuesLinesAndColumns)
{
    ImportReadOptions o;
    o.maxValues = 10;
    EXPECT_EQ(ReadBytes("1,2\n3,4\n5,6\n7,8\n9,10\n", o).error, ImportError::None);
    const ImportReadResult over = ReadBytes("1,2\n3,4\n5,6\n7,8\n9,10\n11,12\n", o);
    EXPECT_EQ(over.error, ImportError::TooManyValues);
    EXPECT_EQ(over.line, 6);

    // A line of 10 MB, with and without an end, beyond the 1 MB limit.
    QByteArray huge("0.1\n0.2\n");
    huge += QByteArray(10 << 20, '7');
    EXPECT_EQ(ReadBytes(huge).error, ImportError::LineTooLong);
    EXPECT_EQ(ReadBytes(huge).line, 3);
    EXPECT_EQ(ReadBytes(huge + "\n0.3\n").error, ImportError::LineTooLong);

    QByteArray wide;
    for (int i = 0; i <= kImportMaxColumns; ++i)
        wide += "1,";
    EXPECT_EQ(ReadBytes(wide + "\n" + wide + "\n").error, ImportError::TooManyColumns);
}

TEST(ImportReader, BlocksSplitLinesAnywhere)
{
    // Small blocks cut numbers, CR LF pairs and the byte-order mark apart;
    // the result is the same, line numbers too.
    const QByteArray files[] = {DataFile("time_value_crlf_nolast.csv"), DataFile("bom_lf.csv"),
                                DataFile("hdr_110_short.arb") + QByteArray(1 << 20, '\n'),
                                DataFile("bad_text_in_values.csv") + QByteArray(1 << 20, ' ')};
    for (const QByteArray &bytes : files) {
        const ImportReadResult whole = ReadBytes(bytes);
        for (std::size_t block : {1, 2, 3, 7}) {
            ImportReadOptions o;
            o.blockBytes = block;
            const ImportReadResult r = ReadBytes(bytes, o);
            EXPECT_EQ(r.error, whole.error) << block;
            EXPECT_EQ(r.line, whole.line) << block;
            EXPECT_EQ(r.table.columns, whole.table.columns) << block;
        }
    }
}

} // namespace
