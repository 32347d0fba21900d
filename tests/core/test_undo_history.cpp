#include "core/UndoHistory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using namespace arb;

namespace
{

bool SameBits(const ArbStore &a, const ArbStore &b)
{
    return std::memcmp(a.ArbData.data(), b.ArbData.data(), sizeof(a.ArbData)) == 0 &&
           std::memcmp(&a.ArbLength, &b.ArbLength, sizeof(float)) == 0;
}

ArbStore Varied()
{
    ArbStore s;
    for (int i = 0; i < kArbBufferSize; ++i)
        s.ArbData[static_cast<std::size_t>(i)] = static_cast<float>(std::sin(i * 0.37));
    return s;
}

} // namespace

TEST(UndoHistory, UndoAndRedoRestoreEveryBitAndOnlyTheChangedRangeIsKept)
{
    ArbStore store = Varied();
    // Bit patterns that compare equal or unequal in arithmetic though they
    // differ or agree in the buffer.
    store.ArbData[5] = 0.0f;
    store.ArbData[16384] = std::numeric_limits<float>::quiet_NaN();
    UndoHistory h;
    h.reset(store);
    EXPECT_FALSE(h.record(store, QStringLiteral("无")));
    EXPECT_FALSE(h.canUndo());

    const ArbStore before = store;
    store.ArbData[5] = -0.0f;
    store.ArbData[300] = 2.5f; // beyond the length
    const std::size_t empty = h.bytes();
    ASSERT_TRUE(h.record(store, QStringLiteral("输入线段")));
    const ArbStore after = store;
    EXPECT_EQ(h.undoLabel(), QStringLiteral("输入线段"));
    // Points 5..300, before and after, not the whole buffer.
    EXPECT_LT(h.bytes() - empty, 2 * 296 * sizeof(float) + 512);

    ASSERT_TRUE(h.undo(store));
    EXPECT_TRUE(SameBits(store, before));
    EXPECT_FALSE(h.canUndo());
    EXPECT_EQ(h.redoLabel(), QStringLiteral("输入线段"));
    ASSERT_TRUE(h.redo(store));
    EXPECT_TRUE(SameBits(store, after));
    EXPECT_FALSE(h.redo(store));
    // Undo and redo leave nothing to record.
    EXPECT_FALSE(h.record(store, QStringLiteral("无")));
}

TEST(UndoHistory, LengthAloneIsAStepAndANewStepDropsTheRedoSteps)
{
    ArbStore store;
    UndoHistory h;
    h.reset(store);
    store.ArbLength = 1000.5f;
    ASSERT_TRUE(h.record(store, QStringLiteral("打开")));
    store.ArbData[0] = 1.0f;
    ASSERT_TRUE(h.record(store, QStringLiteral("方波")));
    ASSERT_TRUE(h.undo(store));
    ASSERT_TRUE(h.undo(store));
    EXPECT_EQ(store.ArbLength, kDefaultArbLength);
    ASSERT_TRUE(h.redo(store));
    EXPECT_EQ(store.ArbLength, 1000.5f);
    EXPECT_EQ(h.redoCount(), 1u);

    store.ArbData[7] = 0.5f;
    ASSERT_TRUE(h.record(store, QStringLiteral("清除波形")));
    EXPECT_EQ(h.redoCount(), 0u);
    EXPECT_EQ(h.undoCount(), 2u);
    ASSERT_TRUE(h.undo(store));
    EXPECT_EQ(store.ArbData[0], 0.0f);
    EXPECT_EQ(store.ArbData[7], 0.0f);
}

TEST(UndoHistory, AChangeOutsideTheComparedRangeWaitsForTheNextRecord)
{
    ArbStore store;
    UndoHistory h;
    h.reset(store);
    store.ArbData[10] = 0.25f;
    store.ArbData[5000] = 0.75f;
    ASSERT_TRUE(h.record(store, QStringLiteral("绘制波形"), 0, 200));
    ASSERT_TRUE(h.record(store, QStringLiteral("修改波形")));
    ASSERT_TRUE(h.undo(store));
    EXPECT_EQ(store.ArbData[5000], 0.0f);
    EXPECT_EQ(store.ArbData[10], 0.25f);
    ASSERT_TRUE(h.undo(store));
    EXPECT_EQ(store.ArbData[10], 0.0f);
    // A range outside the buffer is cut to it.
    store.ArbData[16384] = 1.0f;
    EXPECT_TRUE(h.record(store, QStringLiteral("x"), -5, 99999));
}

TEST(UndoHistory, MemoryBoundDropsTheOldestSteps)
{
    ArbStore store;
    UndoHistory h;
    h.reset(store);
    // Every step changes every point: the largest step there is.
    for (int n = 1; n <= 700; ++n) {
        for (float &v : store.ArbData)
            v = static_cast<float>(n);
        ASSERT_TRUE(h.record(store, QString::number(n)));
        ASSERT_LE(h.bytes(), UndoHistory::kDefaultByteLimit);
    }
    EXPECT_GE(h.undoCount(), 100u);
    EXPECT_LT(h.undoCount(), 700u);
    EXPECT_EQ(h.undoLabel(), QStringLiteral("700"));
    // The oldest kept step goes back to the step before it, not further.
    const std::size_t kept = h.undoCount();
    while (h.undo(store)) {
    }
    EXPECT_EQ(store.ArbData[0], static_cast<float>(700 - kept));
    EXPECT_EQ(store.ArbData[16384], static_cast<float>(700 - kept));

    // Small steps: many more fit.
    UndoHistory small(256 * 1024);
    small.reset(store);
    for (int n = 0; n < 1000; ++n) {
        store.ArbData[static_cast<std::size_t>(n)] += 1.0f;
        ASSERT_TRUE(small.record(store, QStringLiteral("输入点")));
    }
    EXPECT_LE(small.bytes(), small.byteLimit());
    EXPECT_EQ(small.undoCount(), 1000u);
}
