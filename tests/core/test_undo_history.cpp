#include "core/UndoHistory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

using namespace arb;

static bool SameBits(const ArbStore &a, const ArbStore &b)
{
    return std::memcmp(&a.ArbData, &b.ArbData, sizeof(a.ArbData)) == 0 &&
           std::memcmp(&a.ArbLength, &b.ArbLength, sizeof(float)) == 0;
}

TEST(UndoHistory, StepsKeepOnlyTheChangedBitsAndAChangeOutsideTheRangeWaits)
{
    ArbStore store;
    store.ArbData[16384] = std::numeric_limits<float>::quiet_NaN();
    UndoHistory h;
    h.reset(store);
    EXPECT_FALSE(h.record(store, QStringLiteral("无"))); // NaN is itself bit for bit
    const ArbStore before = store;
    store.ArbData[5] = -0.0f; // 0 as a number, not as bits
    store.ArbData[300] = 2.5f;
    store.ArbData[5000] = 0.75f;
    const std::size_t empty = h.bytes();
    ASSERT_TRUE(h.record(store, QStringLiteral("绘制波形"), 0, 400));
    EXPECT_LT(h.bytes() - empty, 296 * sizeof(float) + 512);
    ASSERT_TRUE(h.record(store, QStringLiteral("修改波形"), -5, 99999));
    const ArbStore after = store;
    EXPECT_EQ(h.undoLabel(), QStringLiteral("修改波形"));
    ASSERT_TRUE(h.undo(store) && h.undo(store) && !h.undo(store));
    EXPECT_TRUE(SameBits(store, before));
    EXPECT_EQ(h.redoLabel(), QStringLiteral("绘制波形"));
    // What undo put back is what the history holds: nothing to record.
    EXPECT_FALSE(h.record(store, QStringLiteral("无")));
    EXPECT_EQ(h.redoCount(), 2u);
    ASSERT_TRUE(h.redo(store));
    EXPECT_EQ(h.redoLabel(), QStringLiteral("修改波形"));
    ASSERT_TRUE(h.redo(store) && !h.redo(store));
    EXPECT_TRUE(SameBits(store, after));
    EXPECT_EQ(h.redoLabel(), QString());
    EXPECT_FALSE(h.record(store, QStringLiteral("无")));
    EXPECT_EQ(h.undoCount(), 2u);
    // A new step, here of the length alone, drops the step that could be redone.
    ASSERT_TRUE(h.undo(store));
    store.ArbLength = 1000.5f;
    ASSERT_TRUE(h.record(store, QStringLiteral("打开")));
    EXPECT_EQ(h.redoCount(), 0u);
    EXPECT_EQ(h.undoLabel(), QStringLiteral("打开"));
}

TEST(UndoHistory, MemoryBoundDropsTheOldestSteps)
{
    ArbStore store;
    UndoHistory h;
    h.reset(store);
    for (int n = 1; n <= 700; ++n) {
        store.ArbData.fill(static_cast<float>(n)); // every point: the largest step
        ASSERT_TRUE(h.record(store, QString::number(n)));
        ASSERT_LE(h.bytes(), UndoHistory::kDefaultByteLimit);
    }
    const std::size_t kept = h.undoCount();
    EXPECT_TRUE(kept >= 100u && kept < 700u);
    // Each step holds the 16385 points it changed and a little bookkeeping
    // (its label, its length, the step itself: well under 512 bytes), beside
    // the history's own copy of the buffer. So the 32 MiB hold all the steps
    // that fit at the upper cost and none beyond those that fit at the lower.
    const std::size_t points = kArbBufferSize * sizeof(float);
    const std::size_t room = UndoHistory::kDefaultByteLimit - points;
    EXPECT_GE(kept, room / (points + 512));
    EXPECT_LE(kept, room / points);
    EXPECT_EQ(h.undoLabel(), QStringLiteral("700"));
    while (h.undo(store)) {
    }
    // The oldest kept step goes back to the step before it, not further.
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
