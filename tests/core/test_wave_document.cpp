#include "core/WaveDocument.h"
#include "core/WaveStep.h"

#include <QObject>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

using arb::ArbStore;
using arb::WaveDocument;

namespace
{

// Every notice of a document, in order.
struct Notices {
    explicit Notices(WaveDocument &d)
    {
        QObject::connect(&d, &WaveDocument::pointsChanged, [this](int a, int b) {
            add("points " + std::to_string(a) + ".." + std::to_string(b));
        });
        QObject::connect(&d, &WaveDocument::lengthChanged,
                         [this](float l) { add("length " + std::to_string(l)); });
        QObject::connect(&d, &WaveDocument::nameTextChanged,
                         [this, &d] { add("name " + d.nameText().toStdString()); });
        QObject::connect(&d, &WaveDocument::slotChanged, [this](int s) { add("slot " + std::to_string(s)); });
        QObject::connect(&d, &WaveDocument::replaced, [this] { add("replaced"); });
        QObject::connect(&d, &WaveDocument::lineDrawn, [this](int a, int b) {
            add("line " + std::to_string(a) + ".." + std::to_string(b));
        });
        QObject::connect(&d, &WaveDocument::stepBegun,
                         [this](const QString &l) { add("begin " + l.toStdString()); });
        QObject::connect(&d, &WaveDocument::stepEnded, [this] { add("end"); });
    }
    void add(const std::string &s) { seen.push_back(s); }
    std::vector<std::string> take() { return std::exchange(seen, {}); }
    std::vector<std::string> seen;
};

using List = std::vector<std::string>;

} // namespace

TEST(WaveDocument, ANewWaveformAnnouncesWhatChangedThenTheNameThenItself)
{
    WaveDocument d;
    Notices n(d);
    d.setName(QStringLiteral("SINE1"));
    EXPECT_TRUE(d.NameChanged());
    n.take();

    ArbStore next = d.store();
    next.ArbData[7] = 0.5f;
    next.ArbData[300] = -0.0f; // a sign alone is a change
    next.ArbScale = 2.0;
    d.replaceAll(next);
    EXPECT_EQ(n.take(), (List{"points 7..300", "length 201.000000", "name ArbNo0", "replaced"}));
    EXPECT_FALSE(d.NameChanged());
    EXPECT_EQ(d.store().ArbScale, 2.0);
    EXPECT_TRUE(std::signbit(d.store().ArbData[300]));

    // The same waveform again: its length is still told (the length field
    // shows it), and it is still drawn in full.
    d.replaceAll(d.store());
    EXPECT_EQ(n.take(), (List{"length 201.000000", "replaced"}));
    // At the same length, no length is told.
    next.ArbData[16384] = 1.0f;
    d.replacePoints(next);
    EXPECT_EQ(n.take(), (List{"points 16384..16384", "replaced"}));
    // A range beyond the buffer keeps to it.
    const float values[] = {0.25f, 0.75f, 0.5f};
    d.replaceRange(16383, values, 3);
    EXPECT_EQ(n.take(), (List{"points 16383..16384", "replaced"}));
    EXPECT_EQ(d.store().ArbData[16384], 0.75f);
}

TEST(WaveDocument, EditsInPlaceAnnounceOnlyTheirChange)
{
    WaveDocument d;
    d.setName(QStringLiteral("SINE1"));
    Notices n(d);
    d.setPoint(5, 0.0f); // unchanged
    d.setPoint(5, 0.25f);
    d.setPoint(6, -0.0f); // the undo history keeps the sign
    const float values[] = {0.0f, 0.5f, 0.0f};
    d.setPoints(-1, values, 3); // index -1 left out
    EXPECT_EQ(n.take(), (List{"points 5..5", "points 6..6", "points 0..0"}));

    ArbStore next = d.store();
    next.ArbMaxValue = 0.5f;
    next.ArbLength = 9.0f; // the length is not an edit's
    d.assign(next);
    EXPECT_TRUE(n.take().empty());
    EXPECT_EQ(d.store().ArbMaxValue, 0.5f);
    EXPECT_EQ(d.length(), 201.0f);
    EXPECT_TRUE(d.NameChanged());

    // A freehand step: the line from point 10 to 14, drawn even where
    // nothing changes.
    d.drawLine(10, 14, 1.0f);
    EXPECT_EQ(n.take(), (List{"points 11..14", "line 10..14"}));
    ArbStore line;
    line.ArbData = d.store().ArbData;
    arb::InterpolateTo(line, 10, 14, 1.0f);
    EXPECT_EQ(line.ArbData, d.store().ArbData);
    EXPECT_EQ(d.store().ArbData[12], 0.5f);
    d.drawLine(14, 14, 1.0f);
    d.drawLine(14, 16385, 1.0f); // outside the buffer: no line at all
    d.drawLine(-1, 14, 1.0f);
    EXPECT_EQ(n.take(), (List{"line 14..14"}));
}

TEST(WaveDocument, ALengthIsKeptAsGivenAndToldEvenWhenTheSame)
{
    WaveDocument d;
    Notices n(d);
    for (const float length : {1000.5f, 12345.67f, 12345.67f})
        d.setLength(length);
    EXPECT_EQ(d.length(), 12345.67f);
    EXPECT_EQ(d.store().PointCount(), 12346);
    EXPECT_EQ(n.take(), (List{"length 1000.500000", "length 12345.669922", "length 12345.669922"}));
}

TEST(WaveDocument, TheNameAndItsFlag)
{
    WaveDocument d;
    EXPECT_EQ(d.name(), QStringLiteral("ArbNo0"));
    EXPECT_FALSE(d.NameChanged());
    Notices n(d);
    d.setName(QStringLiteral("ArbNo0"));
    EXPECT_FALSE(d.NameChanged());
    // An emptied name is kept as it is and sends the default.
    d.setName(QString());
    EXPECT_TRUE(d.NameChanged());
    EXPECT_EQ(d.nameText(), QString());
    EXPECT_EQ(d.name(), QStringLiteral("ArbNo0"));
    // Back at the default text, the flag stays until a new waveform.
    d.setName(QStringLiteral("ArbNo0"));
    EXPECT_TRUE(d.NameChanged());
    d.resetChangedName();
    EXPECT_FALSE(d.NameChanged());
    d.resetChangedName();
    EXPECT_EQ(n.take(), (List{"name ", "name ArbNo0"}));

    // A listener that puts its rules on a name given: the flag follows the
    // name as the listener left it.
    QObject::connect(&d, &WaveDocument::nameTextChanged, [&d] {
        if (d.nameText() == QStringLiteral("--"))
            d.setName(QStringLiteral("ArbNo0"));
    });
    d.setName(QStringLiteral("--"));
    EXPECT_EQ(d.nameText(), QStringLiteral("ArbNo0"));
    EXPECT_FALSE(d.NameChanged());
}

TEST(WaveDocument, TheSlotCarriesTheDefaultNameAlong)
{
    WaveDocument d;
    Notices n(d);
    d.setSlot(3);
    EXPECT_EQ(d.name(), QStringLiteral("ArbNo3"));
    d.setSlot(3);
    d.setSlot(12); // held to 9
    EXPECT_EQ(d.slot(), 9);
    EXPECT_EQ(n.take(), (List{"slot 3", "name ArbNo3", "slot 9", "name ArbNo9"}));

    d.setName(QStringLiteral("WAVE"));
    d.setSlot(0);
    EXPECT_EQ(d.name(), QStringLiteral("WAVE"));
    EXPECT_TRUE(d.NameChanged());
    // The default of the old slot, typed, follows the slot and clears the flag.
    d.setName(QStringLiteral("ArbNo0"));
    d.setSlot(1);
    EXPECT_EQ(d.name(), QStringLiteral("ArbNo1"));
    EXPECT_FALSE(d.NameChanged());
}

TEST(WaveDocument, AStepIsMarkedWhicheverWayItEnds)
{
    WaveDocument d;
    Notices n(d);
    const auto command = [&d](bool early) {
        const arb::WaveStep step(d, QStringLiteral("方波"));
        if (early)
            return;
        d.setPoint(0, 1.0f);
    };
    command(true);
    command(false);
    EXPECT_EQ(n.take(), (List{"begin 方波", "end", "begin 方波", "points 0..0", "end"}));
}
