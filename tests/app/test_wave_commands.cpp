#include "app/FormMain.h"
#include "app/MainMenus.h"
#include "app/WaveCommands.h"
#include "core/ArbStore.h"
#include "tests/support/FakeHost.h"
#include "tests/support/WindowFixture.h"
#include "view/WaveView.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QWidget>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace arb;
using arb::test::FakeHost;

namespace
{

QApplication *ownApp = nullptr;

// The widget tests share one application; the one made here is ended with
// the test program.
class WaveAppEnvironment final : public ::testing::Environment
{
  public:
    void TearDown() override
    {
        delete ownApp;
        ownApp = nullptr;
    }
};

[[maybe_unused]] ::testing::Environment *const kWaveAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new WaveAppEnvironment);

void EnsureApp()
{
    static int argc = 1;
    static char name[] = "test_app";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        ownApp = new QApplication(argc, argv);
}

class WaveCommandsTest : public ::testing::Test
{
  protected:
    void setPoints(const std::vector<float> &values)
    {
        ArbStore next = host.arb;
        next.ArbData.fill(7.0f);
        std::copy(values.begin(), values.end(), next.ArbData.begin());
        host.doc.assign(next);
        host.doc.setLength(static_cast<float>(values.size()));
        host.length = QString::number(values.size());
    }

    // Points 0.. and the length as values gives them.
    void setWave(const std::vector<float> &values)
    {
        host.doc.setLength(static_cast<float>(values.size()));
        host.doc.setPoints(0, values.data(), static_cast<int>(values.size()));
    }

    std::vector<float> points(int count) const
    {
        return std::vector<float>(host.arb.ArbData.begin(), host.arb.ArbData.begin() + count);
    }

    void expectQuestion(const QString &title, const QString &prompt, const QString &defaultText)
    {
        ASSERT_EQ(host.user.questions.size(), 1u);
        EXPECT_EQ(host.user.questions[0].title, title);
        EXPECT_EQ(host.user.questions[0].prompt, prompt);
        EXPECT_EQ(host.user.questions[0].defaultText, defaultText);
    }

    void expectOnlyMessage(const QString &text, const QString &title)
    {
        ASSERT_EQ(host.user.messages.size(), 1u);
        EXPECT_EQ(host.user.messages[0].text, text);
        EXPECT_EQ(host.user.messages[0].title, title);
        EXPECT_EQ(host.user.messages[0].icon, MessageIcon::Critical);
    }

    FakeHost host;
    WaveCommands commands{host};
};

} // namespace

TEST_F(WaveCommandsTest, StandardShapesRedrawOnceWithoutAsking)
{
    using Slot = void (WaveCommands::*)();
    for (Slot slot : {&WaveCommands::mnuStandardSqu_Click, &WaveCommands::mnuStandardSin_Click,
                      &WaveCommands::mnuStandardCos_Click, &WaveCommands::mnuStandardTri_Click,
                      &WaveCommands::mnuStandardUpRamp_Click, &WaveCommands::mnuStandardDownRamp_Click}) {
        host.redraws = 0;
        setPoints({0, 0, 0, 0});
        (commands.*slot)();
        EXPECT_EQ(host.redraws, 1);
        EXPECT_NE(points(4), (std::vector<float>{0, 0, 0, 0}));
        EXPECT_EQ(host.arb.ArbData[4], 7.0f);
    }
    EXPECT_TRUE(host.user.questions.empty());
    EXPECT_TRUE(host.user.messages.empty());
    setPoints({0, 0, 0, 0});
    commands.mnuStandardSin_Click();
    EXPECT_EQ(points(4), (std::vector<float>{0.0f, 1.0f, 2.5351817e-06f, -1.0f}));
}

TEST_F(WaveCommandsTest, MirrorsRedraw)
{
    setPoints({1, 2, 3, 4, 5});
    commands.mnuWaveYSymm_Click();
    EXPECT_EQ(points(5), (std::vector<float>{5, 4, 3, 2, 1}));
    commands.mnuWaveXSymm_Click();
    EXPECT_EQ(points(6), (std::vector<float>{-5, -4, -3, -2, -1, 7}));
    EXPECT_EQ(host.redraws, 2);
}

TEST_F(WaveCommandsTest, DivideBoxAndReplies)
{
    setPoints({0.5f, -1.0f, 0.25f, 1.0f});
    host.user.pushInput(QStringLiteral("0.5"));
    commands.mnuWaveDiv_Click();
    expectQuestion(QStringLiteral("波形除常数"), QStringLiteral("请输入除数,\n除数的绝对值大于1"), "2");
    EXPECT_EQ(points(4), (std::vector<float>{0.5f, -1.0f, 0.25f, 1.0f}));
    host.user.pushInput(QStringLiteral("-0.5"));
    commands.mnuWaveDiv_Click();
    EXPECT_EQ(points(4), (std::vector<float>{-0.5f, 1.0f, -0.25f, -1.0f}));
    host.user.pushInput(QStringLiteral(" 4 "));
    commands.mnuWaveDiv_Click();
    EXPECT_EQ(points(4), (std::vector<float>{-0.125f, 0.25f, -0.0625f, -0.25f}));
    // Zero and Cancel divide by 1, and the view is redrawn all the same.
    host.user.pushInput(QStringLiteral("0"));
    commands.mnuWaveDiv_Click();
    commands.mnuWaveDiv_Click();
    EXPECT_EQ(points(5), (std::vector<float>{-0.125f, 0.25f, -0.0625f, -0.25f, 7.0f}));
    EXPECT_EQ(host.redraws, 5);
    EXPECT_TRUE(host.user.messages.empty());
}

TEST_F(WaveCommandsTest, MultiplyBoxClipsAndCancelClips)
{
    setPoints({0.25f, -0.75f, 3.0f, 0.5f});
    host.user.pushInput(QStringLiteral("2"));
    commands.mnuWaveMul_Click();
    expectQuestion(QStringLiteral("波形乘常数"), QStringLiteral("请输入乘数,\n乘数的绝对值大于1"), "2");
    EXPECT_EQ(points(5), (std::vector<float>{0.5f, -1.0f, 1.0f, 1.0f, 7.0f}));
    setPoints({0.25f, -2.0f, 3.0f, 0.5f});
    commands.mnuWaveMul_Click(); // Cancel
    EXPECT_EQ(points(4), (std::vector<float>{0.25f, -1.0f, 1.0f, 0.5f}));
    host.user.pushInput(QStringLiteral("0"));
    commands.mnuWaveMul_Click();
    EXPECT_EQ(points(4), (std::vector<float>{0, 0, 0, 0}));
    EXPECT_EQ(host.redraws, 3);
}

TEST_F(WaveCommandsTest, NormaliseRedrawsOnlyWhenScaling)
{
    setPoints({0, 0, 0, 0});
    commands.mnuWaveAmplZoomIn_Click();
    setPoints({0.5f, -1.0f, 0, 0});
    commands.mnuWaveAmplZoomIn_Click();
    EXPECT_EQ(host.redraws, 0);
    setPoints({0.25f, -0.5f, 0, 0.5f});
    commands.mnuWaveAmplZoomIn_Click();
    EXPECT_EQ(points(4), (std::vector<float>{0.5f, -1.0f, 0, 1.0f}));
    EXPECT_EQ(host.redraws, 1);
    EXPECT_TRUE(host.user.questions.empty());
}

TEST_F(WaveCommandsTest, FrequencyFactorBelowOneRefused)
{
    setPoints({1, 2, 3, 4});
    host.user.pushInput(QStringLiteral("0"));
    commands.mnuWaveFreqMul_Click();
    expectQuestion(QStringLiteral("倍频"), QStringLiteral("请输入倍频系数,\n(系数>=1)"), "2");
    expectOnlyMessage(QStringLiteral("错误！系数<1"), QStringLiteral("倍频"));
    host.user.pushInput(QStringLiteral("-2"));
    commands.mnuWaveFreqMul_Click();
    EXPECT_EQ(host.user.messages.size(), 2u);
    EXPECT_EQ(host.redraws, 0);
    EXPECT_EQ(points(4), (std::vector<float>{1, 2, 3, 4}));
    // Not a number, Cancel, or too large for 16 bits: factor 1, redrawn.
    host.user.pushInput(QStringLiteral("abc"));
    commands.mnuWaveFreqMul_Click();
    commands.mnuWaveFreqMul_Click();
    host.user.pushInput(QStringLiteral("40000"));
    commands.mnuWaveFreqMul_Click();
    EXPECT_EQ(points(4), (std::vector<float>{1, 2, 3, 4}));
    EXPECT_EQ(host.redraws, 3);
    EXPECT_EQ(host.user.messages.size(), 2u);
}

TEST_F(WaveCommandsTest, FrequencyMultiplyThousandPointsByThree)
{
    std::vector<float> ramp(1000);
    for (int i = 0; i < 1000; ++i)
        ramp[static_cast<std::size_t>(i)] = static_cast<float>(i);
    setWave(ramp);
    host.user.pushInput(QStringLiteral("3"));
    commands.mnuWaveFreqMul_Click();
    EXPECT_EQ(host.arb.ArbData[332], 996.0f);
    EXPECT_EQ(host.arb.ArbData[333], 0.0f);
    EXPECT_EQ(host.arb.ArbData[998], 996.0f);
    EXPECT_EQ(host.arb.ArbData[999], 0.0f);
    EXPECT_EQ(host.redraws, 1);
    // 2.5 rounds to 2.
    setWave({1, 2, 3, 4});
    host.user.pushInput(QStringLiteral("2.5"));
    commands.mnuWaveFreqMul_Click();
    EXPECT_EQ(points(4), (std::vector<float>{1, 3, 1, 3}));
}

TEST_F(WaveCommandsTest, FormulaDefaultTrimsAndCommitsLength)
{
    host.user.pushInput(QStringLiteral("sinx+0.5sin2x"));
    commands.mnuWaveSinAddFormula_Click();
    expectQuestion(QStringLiteral("正弦波公式相加"),
                   QStringLiteral("正弦波公式相加,\n第一个正弦波波形幅度为 1, 独立变量为 x,ω = 1"),
                   QStringLiteral("sinx+0.5sin2x"));
    EXPECT_TRUE(host.user.messages.empty());
    EXPECT_EQ(host.arb.ArbLength, 200.0f);
    EXPECT_EQ(host.length, QStringLiteral("200"));
    EXPECT_EQ(host.lengthCommits, 1);
    EXPECT_EQ(host.redraws, 1); // the commit finds the length unchanged
    EXPECT_NEAR(host.arb.ArbData[33], 0.86593f, 1e-5);
}

TEST_F(WaveCommandsTest, FormulaErrorsLeaveEverythingUnchanged)
{
    setPoints({0.5f, 0.5f, 0.5f, 0.5f, 0.5f});
    commands.mnuWaveSinAddFormula_Click(); // Cancel
    expectOnlyMessage(QStringLiteral("公式错误！"), QStringLiteral("正弦波公式相加"));
    for (const char *bad : {"sinx-0.5sin2x", "cosx+sin2x", "0.5", "sinx+-1sin2x"}) {
        host.user.clear();
        host.user.pushInput(QString::fromUtf8(bad));
        commands.mnuWaveSinAddFormula_Click();
        expectOnlyMessage(QStringLiteral("公式错误！"), QStringLiteral("输入公式"));
    }
    EXPECT_EQ(points(5), (std::vector<float>{0.5f, 0.5f, 0.5f, 0.5f, 0.5f}));
    EXPECT_EQ(host.arb.ArbLength, 5.0f);
    EXPECT_EQ(host.length, QStringLiteral("5"));
    EXPECT_EQ(host.lengthCommits, 0);
    EXPECT_EQ(host.redraws, 0);
}

TEST_F(WaveCommandsTest, FormulaBelowMinimumLengthClearsAtFour)
{
    setPoints({0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f});
    host.user.pushInput(QStringLiteral("sinx+sin7x"));
    commands.mnuWaveSinAddFormula_Click();
    ASSERT_EQ(host.user.messages.size(), 1u);
    EXPECT_EQ(host.user.messages[0].text, QStringLiteral("任意波点数在 4 到 16384 之间"));
    EXPECT_EQ(host.arb.ArbLength, 4.0f);
    EXPECT_EQ(host.length, QStringLiteral("4"));
    EXPECT_EQ(points(7), (std::vector<float>{0, 0, 0, 0, 0, 0, 7}));
    EXPECT_EQ(host.redraws, 2); // the commit's clear, then the formula's own
}

TEST_F(WaveCommandsTest, ConnectMenuReachesEveryCommand)
{
    EnsureApp();
    QWidget window;
    const char *names[] = {
        "mnuStandardSqu",      "mnuStandardSin", "mnuStandardCos",      "mnuStandardTri", "mnuStandardUpRamp",
        "mnuStandardDownRamp", "mnuWaveXSymm",   "mnuWaveYSymm",        "mnuWaveDiv",     "mnuWaveMul",
        "mnuWaveAmplZoomIn",   "mnuWaveFreqMul", "mnuWaveSinAddFormula"};
    // The real menu bar's items, of which these commands take theirs.
    auto *bar = new QMenuBar(&window);
    commands.connectMenu(BuildMainMenus(bar));
    setPoints({0.25f, 0.25f, 0.25f, 0.25f});
    window.findChild<QAction *>(QStringLiteral("mnuWaveAmplZoomIn"))->trigger();
    EXPECT_EQ(points(4), (std::vector<float>{1, 1, 1, 1}));
    for (const char *n : names)
        window.findChild<QAction *>(QString::fromLatin1(n))->trigger();
    // One box each for divide, multiply, frequency multiply and the formula.
    ASSERT_EQ(host.user.questions.size(), 4u);
    EXPECT_EQ(host.user.questions[0].title, QStringLiteral("波形除常数"));
    EXPECT_EQ(host.user.questions[3].title, QStringLiteral("正弦波公式相加"));
    // The first normalise, then all but normalise (peak already 1) and the
    // cancelled formula.
    EXPECT_EQ(host.redraws, 12);
}

// The commands on the real main window's menus.
class WaveCommandsWindowTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        EnsureApp();
        fixture = std::make_unique<arb::test::WindowFixture>();
        // The window owns its commands once it makes them itself.
        if (!fixture->window->findChild<WaveCommands *>()) {
            own = std::make_unique<WaveCommands>(*fixture->window);
            own->connectMenu(fixture->window->menus());
        }
    }

    void trigger(const char *name)
    {
        QAction *a = fixture->window->findChild<QAction *>(QString::fromLatin1(name));
        ASSERT_NE(a, nullptr) << name;
        a->trigger();
    }

    std::unique_ptr<arb::test::WindowFixture> fixture;
    std::unique_ptr<WaveCommands> own;
};

TEST_F(WaveCommandsWindowTest, SineThenFormulaThroughTheMenus)
{
    arb::test::WindowFixture &f = *fixture;
    FormMain &w = *f.window;
    trigger("mnuStandardSin");
    EXPECT_NEAR(f.store.ArbData[50], 1.0f, 1e-4);
    EXPECT_EQ(w.view().ViewCount(), 201);

    f.user.pushInput(QStringLiteral("sinx+0.5sin2x"));
    trigger("mnuWaveSinAddFormula");
    EXPECT_TRUE(f.user.messages.empty());
    EXPECT_EQ(f.store.ArbLength, 200.0f);
    EXPECT_EQ(w.controls().Text_Arb_Length->text(), QStringLiteral("200"));
    EXPECT_EQ(w.view().ViewCount(), 200);
    EXPECT_NEAR(f.store.ArbData[33], 0.86593f, 1e-5);

    f.user.pushInput(QStringLiteral("-2"));
    trigger("mnuWaveFreqMul");
    ASSERT_EQ(f.user.messages.size(), 1u);
    EXPECT_EQ(f.user.messages[0].text, QStringLiteral("错误！系数<1"));
    EXPECT_EQ(f.user.questions.size(), 2u);
}
