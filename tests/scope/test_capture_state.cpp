#include "core/ArbStore.h"
#include "scope/CaptureState.h"
#include "scope/PortMessages.h"
#include "scope/ScopeDeadlines.h"
#include "scope/TdsCommands.h"

#include <gtest/gtest.h>

using namespace arb;

namespace
{

// "#42500", the given points (cycled) and one line end.
QByteArray TraceReply(const QByteArray &points, bool lineEnd = true)
{
    QByteArray reply = QByteArrayLiteral("#42500");
    for (int i = 0; i < kTracePoints; ++i)
        reply.append(points[i % points.size()]);
    if (lineEnd)
        reply.append('\n');
    return reply;
}

// Feeds received bytes to the state, and makes a trace that completes with
// them points 0..2499 of the store, as the window does.
CaptureState::TraceProgress Receive(CaptureState &state, const QByteArray &bytes, int eol, ArbStore &store)
{
    const CaptureState::TraceProgress p = state.receiveTrace(bytes, eol);
    if (p.complete) {
        for (int i = 0; i < kTracePoints; ++i)
            store.ArbData[i] = TracePointValue(static_cast<unsigned char>(state.points()[i]));
    }
    return p;
}

} // namespace

TEST(TdsCommands, IdentifyAndTheSevenTraceCommands)
{
    EXPECT_EQ(IdentifyCommand(10), QByteArray("*IDN?\n"));
    EXPECT_EQ(IdentifyCommand(13), QByteArray("*IDN?\r"));

    const std::vector<QByteArray> lf = TraceReadCommands(QStringLiteral("CH1"), 10);
    const std::vector<QByteArray> expected = {"HEADer OFF\n",   "DATa:SOUrce CH1\n", "DATa:ENCdg RPB\n",
                                              "DATa:WIDth 1\n", "DATa:STARt 1\n",    "DATa:STOP 2500\n",
                                              "CURVe?\n"};
    EXPECT_EQ(lf, expected);

    const std::vector<QByteArray> cr = TraceReadCommands(QStringLiteral("REFB"), 13);
    ASSERT_EQ(cr.size(), 7u);
    EXPECT_EQ(cr[1], QByteArray("DATa:SOUrce REFB\r"));
    for (const QByteArray &c : cr) {
        EXPECT_TRUE(c.endsWith('\r'));
        EXPECT_EQ(c.count('\n'), 0);
    }
}

TEST(TdsCommands, PointBytesMapToValues)
{
    EXPECT_EQ(TracePointValue(0x00), -0.9921875f);
    EXPECT_EQ(TracePointValue(0x7F), 0.0f);
    EXPECT_EQ(TracePointValue(0x80), 0.0078125f);
    EXPECT_EQ(TracePointValue(0xFF), 1.0f);
    EXPECT_EQ(TracePointValue(0x01), -0.984375f);
    for (int b = 1; b < 256; ++b)
        EXPECT_GT(TracePointValue(static_cast<unsigned char>(b)),
                  TracePointValue(static_cast<unsigned char>(b - 1)));
}

TEST(ScopeDeadlines, IdentifyOneSecondTraceByBaud)
{
    for (const char *baud : {"600", "1200", "2400", "4800", "9600"})
        EXPECT_EQ(IdentifyDeadlineSeconds(QString::fromLatin1(baud)), 1) << baud;
    EXPECT_EQ(TraceDeadlineSeconds(QStringLiteral("600")), 46);
    EXPECT_EQ(TraceDeadlineSeconds(QStringLiteral("1200")), 25);
    EXPECT_EQ(TraceDeadlineSeconds(QStringLiteral("2400")), 14);
    EXPECT_EQ(TraceDeadlineSeconds(QStringLiteral("4800")), 9);
    EXPECT_EQ(TraceDeadlineSeconds(QStringLiteral("9600")), 7);
    // Below about 400 baud the wait is held at 65.535 s plus two.
    EXPECT_EQ(TraceDeadlineSeconds(QStringLiteral("300")), 68);
    EXPECT_EQ(TraceDeadlineSeconds(QStringLiteral("")), 68);
    EXPECT_EQ(IdentifyDeadlineSeconds(QStringLiteral("")), 1);
}

TEST(CaptureState, IdentifyWaitsForTheLineEndByDeadline)
{
    CaptureState s;
    s.beginIdentify(5000, QStringLiteral("9600"));
    EXPECT_EQ(s.ScopePhase, 0);
    EXPECT_EQ(s.ScopeDeadline, 6000);

    // With CR chosen an LF does not end the reply.
    CaptureState::IdentifyProgress p = s.receiveIdentify(QByteArray("TEKTRONIX,TDS 210\n"), 13);
    EXPECT_FALSE(s.ScopeReplyDone);
    EXPECT_EQ(p.maximum, 18);
    EXPECT_EQ(p.value, 17);
    EXPECT_EQ(s.judge(5999), CaptureState::Verdict::Wait);
    EXPECT_EQ(s.judge(6000), CaptureState::Verdict::IdentifyFailed);

    // A line end after the failure changes nothing.
    p = s.receiveIdentify(QByteArray("\r"), 13);
    EXPECT_FALSE(p.identified);

    s.beginIdentify(7000, QStringLiteral("600"));
    p = s.receiveIdentify(QByteArray("TEK"), 13);
    EXPECT_FALSE(p.identified);
    p = s.receiveIdentify(QByteArray("\rmore"), 13);
    EXPECT_TRUE(s.ScopeReplyDone);
    EXPECT_TRUE(p.identified);
    EXPECT_EQ(p.maximum, 5);
    EXPECT_EQ(p.value, 5);
    // Identified once only.
    p = s.receiveIdentify(QByteArray("\r"), 13);
    EXPECT_FALSE(p.identified);
    EXPECT_EQ(s.judge(7999), CaptureState::Verdict::Wait);
}

TEST(CaptureState, TraceInSmallPiecesFillsPointsAndCompletesOnTheByteAfter)
{
    ArbStore store;
    store.ArbData[2500] = 0.25f;
    store.ArbData[16384] = -0.5f;
    store.ArbMaxValue = 0.125f;
    CaptureState s;
    s.beginTrace(0, QStringLiteral("9600"));
    EXPECT_EQ(s.ScopeDeadline, 7000);

    const QByteArray reply = TraceReply(QByteArray("\x00\x7f\x80\xff", 4));
    CaptureState::TraceProgress last;
    int completions = 0;
    for (int at = 0; at < reply.size(); at += 7) {
        last = Receive(s, reply.mid(at, 7), '\n', store);
        completions += last.complete ? 1 : 0;
        if (at == 0) {
            EXPECT_FALSE(last.percentBefore.has_value());
            EXPECT_EQ(last.value, 1);
        }
        if (at == 700) {
            // The caption shows the count before these bytes.
            EXPECT_EQ(last.percentBefore, CaptureState::PercentText(700 / 2506.0 * 100.0));
        }
    }
    EXPECT_EQ(completions, 1);
    EXPECT_TRUE(s.ScopeReplyDone);
    EXPECT_EQ(s.ScopeByteCount, 2506);
    EXPECT_EQ(last.value, 2500);
    EXPECT_EQ(store.ArbData[0], -0.9921875f);
    EXPECT_EQ(store.ArbData[1], 0.0f);
    EXPECT_EQ(store.ArbData[2], 0.0078125f);
    EXPECT_EQ(store.ArbData[3], 1.0f);
    EXPECT_EQ(store.ArbData[2499], 1.0f);
    // Only points 0..2499 change; the extremes are left alone.
    EXPECT_EQ(store.ArbData[2500], 0.25f);
    EXPECT_EQ(store.ArbData[16384], -0.5f);
    EXPECT_EQ(store.ArbMaxValue, 0.125f);
}

TEST(CaptureState, WhatPrecedesTheHeaderIsSkippedAndTheHeaderIsRead)
{
    // A late line end of the previous reply, and stray bytes that look like
    // the start of a header, shift no point.
    for (const QByteArray &stray : {QByteArray("\n"), QByteArray("\r\n#"), QByteArray("#4#42"),
                                    QByteArray("#42499\xff", 7), QByteArray("TEK,TDS\n")}) {
        ArbStore store;
        store.ArbData[2500] = 0.25f;
        CaptureState s;
        s.beginTrace(0, QStringLiteral("9600"));
        QByteArray points;
        for (int i = 0; i < kTracePoints; ++i)
            points.append(static_cast<char>(i % 256));
        const QByteArray reply = stray + TraceReply(points);
        // Not complete on the byte before the line end.
        CaptureState::TraceProgress p = Receive(s, reply.chopped(1), '\n', store);
        EXPECT_FALSE(p.complete) << stray.toHex().constData();
        EXPECT_EQ(s.ScopeByteCount, 2506);
        EXPECT_EQ(p.value, 2500);
        p = Receive(s, reply.right(1), '\n', store);
        EXPECT_TRUE(p.complete) << stray.toHex().constData();
        for (int i : {0, 1, 35, 255, 2499})
            EXPECT_EQ(store.ArbData[i], TracePointValue(static_cast<unsigned char>(i % 256)))
                << stray.toHex().constData() << " point " << i;
        EXPECT_EQ(store.ArbData[2500], 0.25f);
    }

    // Six bytes that are not "#42500" are no header: the reply never
    // completes, and the waveform keeps its points.
    ArbStore store;
    store.ArbData[0] = 0.5f;
    CaptureState s;
    s.beginTrace(0, QStringLiteral("9600"));
    QByteArray reply = TraceReply(QByteArray("\x7f", 1));
    reply.replace(0, 6, QByteArray("\xff\xff\xff\xff\xff\xff", 6));
    EXPECT_FALSE(Receive(s, reply, '\n', store).complete);
    EXPECT_FALSE(s.ScopeReplyDone);
    EXPECT_EQ(store.ArbData[0], 0.5f);
    EXPECT_EQ(s.judge(7000), CaptureState::Verdict::TraceFailed);
}

TEST(CaptureState, OnlyTheLineEndCompletesTheTrace)
{
    // With CR chosen the byte after the points must be a CR.
    ArbStore store;
    CaptureState s;
    s.beginTrace(0, QStringLiteral("9600"));
    QByteArray reply = TraceReply(QByteArray("\xff", 1));
    EXPECT_FALSE(Receive(s, reply, '\r', store).complete);
    // The reply is spoiled: a CR after it completes nothing.
    EXPECT_FALSE(Receive(s, QByteArray("\r"), '\r', store).complete);
    EXPECT_EQ(store.ArbData[0], 0.0f);
    EXPECT_EQ(s.judge(7000), CaptureState::Verdict::TraceFailed);

    // A new request starts afresh.
    s.beginTrace(8000, QStringLiteral("9600"));
    reply.back() = '\r';
    EXPECT_TRUE(Receive(s, reply, '\r', store).complete);
    EXPECT_EQ(store.ArbData[0], 1.0f);
}

TEST(CaptureState, ExactlyTwoThousandFiveHundredSixBytesNeverComplete)
{
    ArbStore store;
    CaptureState s;
    s.beginTrace(0, QStringLiteral("4800"));
    const CaptureState::TraceProgress p = Receive(s, TraceReply(QByteArray("\xff", 1), false), '\n', store);
    EXPECT_FALSE(p.complete);
    EXPECT_FALSE(s.ScopeReplyDone);
    EXPECT_EQ(s.ScopeByteCount, 2506);
    // All 2500 points came, but a reply that does not complete leaves the
    // waveform as it was.
    EXPECT_EQ(store.ArbData[0], 0.0f);
    EXPECT_EQ(store.ArbData[2499], 0.0f);
    EXPECT_EQ(s.judge(8999), CaptureState::Verdict::Wait);
    EXPECT_EQ(s.judge(9000), CaptureState::Verdict::TraceFailed);
}

TEST(CaptureState, LateTraceIsTakenOnceAndStrayBytesDoNotRetakeIt)
{
    ArbStore store;
    CaptureState s;
    s.beginTrace(0, QStringLiteral("9600"));
    const QByteArray reply = TraceReply(QByteArray("\x80", 1));
    Receive(s, reply.left(100), '\n', store);
    EXPECT_EQ(s.judge(7000), CaptureState::Verdict::TraceFailed);
    EXPECT_EQ(store.ArbData[0], 0.0f);

    // The rest comes after the failure: it is still taken.
    CaptureState::TraceProgress p = Receive(s, reply.mid(100), '\n', store);
    EXPECT_TRUE(p.complete);
    EXPECT_EQ(store.ArbData[0], TracePointValue(0x80));

    // A second line-end byte later asks for no second taking.
    p = Receive(s, QByteArray("\n"), '\n', store);
    EXPECT_FALSE(p.complete);
    EXPECT_EQ(s.ScopeByteCount, 2506);

    // A new read starts counting from zero again.
    s.beginTrace(8000, QStringLiteral("9600"));
    EXPECT_EQ(s.ScopeByteCount, 0);
    EXPECT_FALSE(s.ScopeReplyDone);
    p = Receive(s, reply, '\n', store);
    EXPECT_TRUE(p.complete);
}

TEST(PortMessages, NameThePortAndItsDevice)
{
    EXPECT_EQ(
        PortOpenFailedMessage(PortOpenResult::NotFound, QStringLiteral("COM1"), QStringLiteral("/dev/ttyS0")),
        QStringLiteral("串口COM1（/dev/ttyS0）不存在，无法连接示波器！"));
    EXPECT_EQ(
        PortOpenFailedMessage(PortOpenResult::NoPermission, QStringLiteral("COM2"), QStringLiteral("COM2")),
        QStringLiteral("没有打开串口COM2的权限！"));
    EXPECT_TRUE(
        PortOpenFailedMessage(PortOpenResult::Busy, QStringLiteral("COM3"), QStringLiteral("/dev/ttyUSB2"))
            .contains(QStringLiteral("COM3（/dev/ttyUSB2）")));
    EXPECT_EQ(PortOpenFailedMessage(PortOpenResult::Failed, QStringLiteral("COM4"), QString()),
              QStringLiteral("无法打开串口COM4！"));
    EXPECT_EQ(CaptureState::PercentText(0.0), QStringLiteral("0.00%"));
    EXPECT_EQ(CaptureState::PercentText(100.0 * 2505 / 2506), QStringLiteral("99.96%"));
}
