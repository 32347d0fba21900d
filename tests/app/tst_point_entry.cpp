#include "app/LengthField.h"
#include "app/MainControls.h"
#include "app/PointEntry.h"
#include "tests/support/FakeHost.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

using namespace arb;
using arb::test::FakeHost;

// The entry frames' controls with their names, and the controller on them.
struct EntryWindow {
    EntryWindow()
    {
        auto *layout = new QVBoxLayout(&window);
        auto field = [&](const char *name, const char *text) {
            auto *e = new QLineEdit(QString::fromLatin1(text), &window);
            e->setObjectName(QString::fromLatin1(name));
            layout->addWidget(e);
            return e;
        };
        startX = field("Text_ArbLineStartX", "0");
        startY = field("Text_ArbLineStartY", "0.000");
        stopX = field("Text_ArbLineStopX", "0");
        stopY = field("Text_ArbLineStopY", "0.000");
        point = new QPushButton(QStringLiteral(" 输入点"), &window);
        point->setObjectName(QStringLiteral("Command_ArbPoint"));
        line = new QPushButton(QStringLiteral("输入线段"), &window);
        line->setObjectName(QStringLiteral("Command_ArbLine"));
        layout->addWidget(point);
        layout->addWidget(line);
        MainControls c;
        c.Text_ArbLineStartX = startX;
        c.Text_ArbLineStartY = startY;
        c.Text_ArbLineStopX = stopX;
        c.Text_ArbLineStopY = stopY;
        c.Command_ArbPoint = point;
        c.Command_ArbLine = line;
        entry = new PointEntry(c, host, &window);
        entry->startUp();
    }
    // Types text into a field after emptying it, and commits it with Enter.
    void type(QLineEdit *e, const QString &text)
    {
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
    }
    float at(int i) const { return host.arb.ArbData[static_cast<std::size_t>(i)]; }
    void fill(float v)
    {
        ArbStore filled = host.arb;
        filled.ArbData.fill(v);
        host.doc.assign(filled);
    }

    FakeHost host;
    QWidget window;
    QLineEdit *startX, *startY, *stopX, *stopY;
    QPushButton *point, *line;
    PointEntry *entry;
};

class TestPointEntry : public QObject
{
    Q_OBJECT

  private slots:
    void startUpCommitsTheDesignTexts()
    {
        EntryWindow w;
        QCOMPARE(w.entry->LineStartX(), 0);
        QCOMPARE(w.entry->LineStopX(), 0);
        QCOMPARE(w.entry->LineStartY(), 0.0f);
        QCOMPARE(w.entry->LineStopY(), 0.0f);
        QCOMPARE(w.startY->text(), QStringLiteral("0.000"));
        QVERIFY(w.host.user.messages.empty());
        QCOMPARE(w.host.redraws, 0);
    }

    void aFallingSegment()
    {
        EntryWindow w;
        w.fill(7.0f);
        w.type(w.startX, QStringLiteral("10"));
        w.type(w.startY, QStringLiteral("0.5"));
        w.type(w.stopX, QStringLiteral("20"));
        w.type(w.stopY, QStringLiteral("-0.5"));
        QCOMPARE(w.stopY->text(), QStringLiteral("-0.500"));
        QTest::mouseClick(w.line, Qt::LeftButton);
        QCOMPARE(w.host.redraws, 1);
        QCOMPARE(w.at(9), 7.0f);
        QCOMPARE(w.at(10), 0.5f);
        QCOMPARE(w.at(11), 0.4f);
        QCOMPARE(w.at(15), 0.0f);
        QCOMPARE(w.at(19), -0.4f);
        QCOMPARE(w.at(20), -0.5f);
        QCOMPARE(w.at(21), 7.0f);
        QCOMPARE(w.host.arb.ArbLength, 201.0f);
        QVERIFY(w.host.user.messages.empty());
    }

    void segmentsRunOnlyUpwards()
    {
        EntryWindow w;
        w.fill(7.0f);
        w.type(w.startX, QStringLiteral("20"));
        w.type(w.startY, QStringLiteral("0.5"));
        w.type(w.stopX, QStringLiteral("10"));
        w.type(w.stopY, QStringLiteral("-0.5"));
        w.entry->Command_ArbLine_Click();
        for (int i = 0; i < 30; ++i)
            QCOMPARE(w.at(i), i == 20 ? 0.5f : 7.0f);
        w.type(w.stopX, QStringLiteral("20"));
        w.entry->Command_ArbLine_Click();
        QCOMPARE(w.at(20), 0.5f);
        QCOMPARE(w.at(21), 7.0f);
    }

    void aPointBecomesTheEndPointToo()
    {
        EntryWindow w;
        w.fill(7.0f);
        w.type(w.stopX, QStringLiteral("50"));
        w.type(w.stopY, QStringLiteral("1"));
        w.type(w.startX, QStringLiteral("5"));
        w.type(w.startY, QStringLiteral("0.25"));
        QTest::mouseClick(w.point, Qt::LeftButton);
        QCOMPARE(w.at(5), 0.25f);
        QCOMPARE(w.stopX->text(), QStringLiteral("5"));
        QCOMPARE(w.stopY->text(), QStringLiteral("0.250"));
        QCOMPARE(w.entry->LineStopX(), 5);
        QCOMPARE(w.entry->LineStopY(), 0.25f);
        w.entry->Command_ArbLine_Click();
        QCOMPARE(w.at(4), 7.0f);
        QCOMPARE(w.at(6), 7.0f);
        QCOMPARE(w.host.redraws, 2);
    }

    void aLongSegmentIsInterpolatedInDoublePrecision()
    {
        EntryWindow w;
        w.host.doc.setLength(16384.0f);
        w.type(w.startY, QStringLiteral("0.001"));
        w.type(w.stopX, QStringLiteral("16383"));
        w.type(w.stopY, QStringLiteral("-0.999"));
        w.entry->Command_ArbLine_Click();
        // Every point is the single nearest the line itself; single-precision
        // arithmetic would miss it at many points.
        const long double y0 = 0.001f;
        const long double rise = static_cast<long double>(-0.999f) - y0;
        int misses = 0;
        for (int i = 0; i <= 16383; ++i)
            if (w.at(i) != static_cast<float>(rise * i / 16383.0L + y0))
                ++misses;
        QCOMPARE(misses, 0);
        QCOMPARE(w.at(16383), -0.999f);
    }

    void rangeMessagesAndBounds()
    {
        EntryWindow w;
        w.type(w.startX, QStringLiteral("300"));
        QCOMPARE(w.startX->text(), QStringLiteral("200"));
        QCOMPARE(w.entry->LineStartX(), 200);
        QCOMPARE(w.host.user.messages.size(), size_t(1));
        QCOMPARE(w.host.user.messages[0].text, QStringLiteral("任意波X坐标在 0 到 200 之间"));
        QCOMPARE(w.host.user.messages[0].icon, MessageIcon::Critical);
        QCOMPARE(w.host.user.messages[0].title, QString());
        w.host.user.clear();
        w.type(w.startY, QStringLiteral("2"));
        QCOMPARE(w.startY->text(), QStringLiteral("1.000"));
        QCOMPARE(w.host.user.messages.size(), size_t(1));
        QCOMPARE(w.host.user.messages[0].text, QStringLiteral("任意波Y坐标在 -1.000 到 1.000 之间"));
        QCOMPARE(w.host.user.messages[0].icon, MessageIcon::Critical);
        w.type(w.startY, QStringLiteral("0.12345"));
        QCOMPARE(w.startY->text(), QStringLiteral("0.123"));
        QCOMPARE(w.entry->LineStartY(), 0.123f);
        QCOMPARE(w.startY->cursorPosition(), 5);
        w.type(w.stopX, QString());
        QCOMPARE(w.stopX->text(), QStringLiteral("0"));
        w.type(w.stopY, QString());
        QCOMPARE(w.stopY->text(), QStringLiteral("0.000"));
        // The bound follows the length at the moment of the commit.
        w.host.doc.setLength(1000.0f);
        w.host.user.clear();
        w.type(w.stopX, QStringLiteral("999"));
        QVERIFY(w.host.user.messages.empty());
        QCOMPARE(w.entry->LineStopX(), 999);
    }

    void pastedTextNeverFailsACommit()
    {
        EntryWindow w;
        for (const char *bad : {"-", ".", "-.", "abc", "1e3"}) {
            w.startY->setText(QString::fromLatin1(bad));
            QTest::keyClick(w.startY, Qt::Key_Return);
            QCOMPARE(w.startY->text(), QStringLiteral("0.000"));
            QCOMPARE(w.entry->LineStartY(), 0.0f);
        }
        w.stopX->setText(QStringLiteral("x1"));
        QTest::keyClick(w.stopX, Qt::Key_Return);
        QCOMPARE(w.stopX->text(), QStringLiteral("0"));
        w.stopX->setText(QStringLiteral("99999999999999999999"));
        QTest::keyClick(w.stopX, Qt::Key_Return);
        QCOMPARE(w.stopX->text(), QStringLiteral("200"));
        QCOMPARE(w.host.user.messages.size(), size_t(1));
    }

    void writesStayInsideTheBuffer()
    {
        EntryWindow w;
        // Committed under the longest waveform, then the waveform shrinks.
        w.host.doc.setLength(16384.0f);
        w.type(w.stopX, QStringLiteral("16383"));
        w.type(w.stopY, QStringLiteral("1"));
        w.host.doc.setLength(201.0f);
        w.entry->Command_ArbLine_Click();
        QCOMPARE(w.at(16383), 1.0f);
        QCOMPARE(w.at(16384), 0.0f);
        // An uncommitted start index copied to the end point by the point
        // command: the segment that follows ends at the buffer's last point.
        w.host.doc.setPoint(16384, 7.0f);
        w.startX->setText(QStringLiteral("99999999999999"));
        w.entry->Command_ArbPoint_Click();
        QCOMPARE(w.entry->LineStopX(), 2147483647);
        w.entry->Command_ArbLine_Click();
        QCOMPARE(w.at(16384), 0.0f);
    }

    void aPressInTheStartIndexSelectsItAll()
    {
        EntryWindow w;
        w.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        w.startX->setText(QStringLiteral("123"));
        QTest::mouseClick(w.startX, Qt::LeftButton, {}, QPoint(5, w.startX->height() / 2));
        QVERIFY(w.startX->hasFocus());
        QCOMPARE(w.startX->selectedText(), QStringLiteral("123"));
        QTest::keyClick(w.startX, Qt::Key_7);
        QCOMPARE(w.startX->text(), QStringLiteral("7"));
        w.stopX->setText(QStringLiteral("123"));
        QTest::mouseClick(w.stopX, Qt::LeftButton, {}, QPoint(5, w.stopX->height() / 2));
        QVERIFY(!w.stopX->hasSelectedText());
        // Leaving the start index for the end index committed it.
        QCOMPARE(w.entry->LineStartX(), 7);
    }

    void leavingAFieldCommitsIt()
    {
        EntryWindow w;
        w.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        w.entry->mnuArbLineDraw_Click();
        QVERIFY(w.startX->hasFocus());
        w.startY->setFocus(Qt::OtherFocusReason);
        w.startY->setText(QStringLiteral("-2"));
        w.stopY->setFocus(Qt::MouseFocusReason);
        QCOMPARE(w.startY->text(), QStringLiteral("-1.000"));
        QCOMPARE(w.entry->LineStartY(), -1.0f);
        // All of the text selected when leaving: the empty text is committed.
        w.stopY->setText(QStringLiteral("0.500"));
        w.stopY->selectAll();
        w.startX->setFocus(Qt::MouseFocusReason);
        QCOMPARE(w.stopY->text(), QStringLiteral("0.000"));
        QCOMPARE(w.entry->LineStopY(), 0.0f);
    }

    void theLengthFieldCommitsOnEnterAndOnLeaving()
    {
        FakeHost host;
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *length = new QLineEdit(host.length, &window);
        length->setObjectName(QStringLiteral("Text_Arb_Length"));
        auto *other = new QLineEdit(&window);
        layout->addWidget(length);
        layout->addWidget(other);
        // The fake host's length text follows the field, as the window's does.
        QObject::connect(length, &QLineEdit::textChanged, length, [&](const QString &t) { host.length = t; });
        MainControls c;
        c.Text_Arb_Length = length;
        LengthField field(c, host);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        field.mnuArbLength_Click();
        QVERIFY(length->hasFocus());
        length->selectAll();
        QTest::keyClicks(length, QStringLiteral("10x00"));
        QCOMPARE(length->text(), QStringLiteral("1000"));
        QTest::keyClick(length, Qt::Key_Return);
        QCOMPARE(host.lengthCommits, 1);
        QCOMPARE(host.arb.ArbLength, 1000.0f);
        QCOMPARE(host.redraws, 1);
        other->setFocus(Qt::MouseFocusReason);
        QCOMPARE(host.lengthCommits, 2);
        QCOMPARE(host.redraws, 1); // unchanged: no clearing, no redraw
        QVERIFY(host.user.messages.empty());
    }
};

QTEST_MAIN(TestPointEntry)
#include "tst_point_entry.moc"
