// Resampling, the import dialog's scalings and defaults, and the export
// forms read back through the import reader.
#include "core/ArbStore.h"
#include "core/Resample.h"
#include "core/import/ExportWriter.h"
#include "core/import/ImportReader.h"
#include "core/import/ImportShaping.h"

#include <QBuffer>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace
{

using namespace arb;

ImportTable TableOf(std::vector<std::vector<float>> columns, bool shortCodes = false)
{
    ImportTable t;
    t.columns = std::move(columns);
    t.shortCodes = shortCodes;
    return t;
}

ImportReadResult ReadBack(QByteArray bytes)
{
    QBuffer b(&bytes);
    b.open(QIODevice::ReadOnly);
    return ReadImport(b);
}

TEST(Resample, LinearBetweenNeighboursEndsKept)
{
    const std::vector<float> src{0, 1, 0, -1, 0};
    std::vector<float> out(9);
    ResampleLinear(src.data(), src.size(), out.data(), out.size());
    EXPECT_EQ(out, (std::vector<float>{0, 0.5f, 1, 0.5f, 0, -0.5f, -1, -0.5f, 0}));
    std::vector<float> down(3);
    ResampleLinear(src.data(), src.size(), down.data(), down.size());
    EXPECT_EQ(down, (std::vector<float>{0, 0, 0})); // no filtering: samples 0, 2, 4
    std::vector<float> same(5);
    ResampleLinear(src.data(), src.size(), same.data(), same.size());
    EXPECT_EQ(same, src);
    // A long record down to 16384 points: monotonic stays monotonic, ends exact.
    std::vector<float> ramp(1000003);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<float>(i);
    std::vector<float> r(16384);
    ResampleLinear(ramp.data(), ramp.size(), r.data(), r.size());
    EXPECT_EQ(r.front(), 0.0f);
    EXPECT_EQ(r.back(), 1000002.0f);
    for (std::size_t i = 1; i < r.size(); ++i)
        ASSERT_LT(r[i - 1], r[i]);
}

TEST(ImportShaping, DefaultsFollowTheValues)
{
    const ImportTable inside = TableOf({{0, 1, 2, 3, 4}, {0.5f, -1, 1, 0, 0.25f}});
    const ImportChoices a = DefaultImportChoices(inside);
    EXPECT_EQ(a.column, 1);
    EXPECT_EQ(a.scaling, ImportScaling::Keep);
    EXPECT_EQ(a.points, 5);
    const ImportTable outside = TableOf({{0, 1.5f, 0, 0}});
    EXPECT_EQ(DefaultImportChoices(outside).scaling, ImportScaling::FullScale);
    // Codes are judged after /32767.
    EXPECT_EQ(DefaultImportChoices(TableOf({{32767, -32767, 0, 1}}, true)).scaling, ImportScaling::Keep);
    EXPECT_EQ(DefaultImportChoices(TableOf({{32768, 0, 0, 0}}, true)).scaling, ImportScaling::FullScale);
    EXPECT_EQ(DefaultImportChoices(TableOf({std::vector<float>(20000, 0.0f)})).points, 16384);
}

TEST(ImportShaping, ScalingsAndClipping)
{
    const ImportTable t = TableOf({{-0.5f, 2, 0.5f, -3, 1}});
    ImportChoices c{0, ImportScaling::Keep, 5};
    const ImportedPoints keep = ShapeImport(t, c);
    EXPECT_EQ(keep.points, (std::vector<float>{-0.5f, 1, 0.5f, -1, 1}));
    EXPECT_EQ(keep.clipped, 2u);
    c.scaling = ImportScaling::PeakNormalise;
    const ImportedPoints peak = ShapeImport(t, c);
    EXPECT_FLOAT_EQ(peak.points[1], 2.0f / 3.0f);
    EXPECT_EQ(peak.points[3], -1.0f);
    EXPECT_EQ(peak.clipped, 0u);
    c.scaling = ImportScaling::FullScale;
    const ImportedPoints full = ShapeImport(t, c);
    EXPECT_EQ(full.points[3], -1.0f);
    EXPECT_EQ(full.points[1], 1.0f);
    EXPECT_FLOAT_EQ(full.points[0], -1.0f + 2.0f * 2.5f / 5.0f);
    // A constant has no span: full scale makes it 0; peak of zeros stays 0.
    EXPECT_EQ(ShapeImport(TableOf({{3, 3, 3, 3}}), {0, ImportScaling::FullScale, 4}).points,
              (std::vector<float>(4, 0.0f)));
    EXPECT_EQ(ShapeImport(TableOf({{0, 0, 0, 0}}), {0, ImportScaling::PeakNormalise, 4}).points,
              (std::vector<float>(4, 0.0f)));
    // Codes: /32767 when kept.
    EXPECT_EQ(ShapeImport(TableOf({{32767, -16384, 0, 1}}, true), {0, ImportScaling::Keep, 4}).points[0],
              1.0f);
    // A column that is not there gives nothing.
    EXPECT_TRUE(ShapeImport(t, {3, ImportScaling::Keep, 5}).points.empty());
}

// An oscilloscope's record kept as byte codes with the value of each code
// shapes exactly as the same values held as floats: the range comes from
// the codes that occur (here a falling map, so the smallest value is that
// of the largest code), and the coded column is numbered after the float
// columns.
TEST(ImportShaping, CodedColumnShapesAsItsValues)
{
    CodedColumn coded;
    for (std::size_t b = 0; b < coded.values.size(); ++b)
        coded.values[b] = static_cast<float>(1.5 - 0.0117 * static_cast<double>(b));
    for (int i = 0; i < 5000; ++i)
        coded.codes.push_back(static_cast<unsigned char>(40 + (i * 37) % 101));
    std::vector<float> plain(coded.size());
    for (std::size_t i = 0; i < coded.size(); ++i)
        plain[i] = coded[i];

    ImportTable mixed = TableOf({std::vector<float>(coded.size(), 0.25f)});
    mixed.codedColumns.push_back(coded);
    const ImportTable floats = TableOf({std::vector<float>(coded.size(), 0.25f), plain});
    ASSERT_EQ(mixed.columnCount(), 2);
    ASSERT_EQ(mixed.rows(), coded.size());
    const ColumnRange r = RangeOfColumn(mixed, 1);
    EXPECT_EQ(r.min, static_cast<double>(coded.values[140]));
    EXPECT_EQ(r.max, static_cast<double>(coded.values[40]));
    EXPECT_EQ(RangeOfColumn(mixed, 0).max, 0.25);
    EXPECT_EQ(DefaultImportChoices(mixed).scaling, ImportScaling::FullScale);
    for (const ImportScaling scaling :
         {ImportScaling::Keep, ImportScaling::PeakNormalise, ImportScaling::FullScale}) {
        for (const int points : {4, 1000, 5000, 16384}) {
            const ImportChoices c{1, scaling, points};
            const ImportedPoints want = ShapeImport(floats, c);
            const ImportedPoints got = ShapeImport(mixed, c);
            EXPECT_EQ(got.points, want.points) << points;
            EXPECT_EQ(got.clipped, want.clipped) << points;
        }
    }
}

TEST(ExportWriter, CsvReadsBackToTheSameSingles)
{
    ArbStore s;
    s.ArbLength = 6;
    const float values[] = {0.123456789f, -1.0f, 1.0f, -0.0000004f, 12.5f, 0.9999999f};
    std::copy(std::begin(values), std::end(values), s.ArbData.begin());
    const ArbStore before = s;
    const QByteArray csv = CsvExportBytes(s);
    EXPECT_EQ(csv.left(19), QByteArray("0.123457\n-1.000000\n"));
    EXPECT_TRUE(csv.endsWith("12.500000\n1.000000\n"));
    EXPECT_EQ(s.ArbData, before.ArbData);
    const ImportReadResult r = ReadBack(csv);
    ASSERT_EQ(r.error, ImportError::None);
    ASSERT_EQ(r.table.rows(), 6u);
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_NEAR(r.table.columns[0][i], values[i], 1e-6) << i;
}

TEST(ExportWriter, HeaderFormReadsBackWithinOneCode)
{
    ArbStore s;
    s.ArbLength = 5;
    const float values[] = {0.5f, -0.5f, 1.5f, -1.0f, 0.0000152f};
    std::copy(std::begin(values), std::end(values), s.ArbData.begin());
    const QByteArray text = HeaderExportBytes(s);
    EXPECT_TRUE(text.startsWith("File Format:1.10\r\nChannel Count:1\r\nSample Rate:5\r\nHigh Level:1\r\n"
                                "Low Level:-1\r\nData Type:\"short\"\r\nFilter:\"OFF\"\r\nData Points:5\r\n"
                                "Data:\r\n16384\r\n-16384\r\n32767\r\n-32767\r\n"));
    // 0.5 x 32767 = 16383.5 rounds to the even 16384.
    EXPECT_EQ(ExportCode(0.5f), 16384);
    EXPECT_EQ(ExportCode(0.0000152f), 0);
    const ImportReadResult r = ReadBack(text);
    ASSERT_EQ(r.error, ImportError::None);
    EXPECT_TRUE(r.table.shortCodes);
    const ImportedPoints p = ShapeImport(r.table, DefaultImportChoices(r.table));
    ASSERT_EQ(p.points.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_NEAR(p.points[i], std::clamp(values[i], -1.0f, 1.0f), 1.0 / 32767) << i;
}

} // namespace
