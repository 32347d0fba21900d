#include "app/WaveCommands.h"

#include "app/WaveStep.h"
#include "app/WaveformHost.h"
#include "core/ArbStore.h"
#include "core/HarmonicFormula.h"
#include "core/NumericReply.h"
#include "core/StandardWaves.h"
#include "core/WaveNumber.h"
#include "core/WaveTransforms.h"
#include "view/UserPrompt.h"

#include <QAction>
#include <QWidget>

namespace arb
{

QString DivideTitle()
{
    return QStringLiteral("波形除常数");
}

QString DividePrompt()
{
    return QStringLiteral("请输入除数,\n除数的绝对值大于1");
}

QString MultiplyTitle()
{
    return QStringLiteral("波形乘常数");
}

QString MultiplyPrompt()
{
    return QStringLiteral("请输入乘数,\n乘数的绝对值大于1");
}

QString FreqMulTitle()
{
    return QStringLiteral("倍频");
}

QString FreqMulPrompt()
{
    return QStringLiteral("请输入倍频系数,\n(系数>=1)");
}

QString FreqMulFactorMessage()
{
    return QStringLiteral("错误！系数<1");
}

QString FormulaPrompt()
{
    return QStringLiteral("正弦波公式相加,\n第一个正弦波波形幅度为 1, 独立变量为 x,ω = 1");
}

QString FormulaDefault()
{
    return QStringLiteral("sinx+0.5sin2x");
}

QString FactorDefault()
{
    return QStringLiteral("2");
}

WaveCommands::WaveCommands(WaveformHost &host, QObject *parent) : QObject(parent), host_(host) {}

void WaveCommands::connectMenu(QWidget *window)
{
    const auto onAction = [this, window](const char *name, void (WaveCommands::*slot)()) {
        if (auto *a = window->findChild<QAction *>(QString::fromLatin1(name)))
            connect(a, &QAction::triggered, this, slot);
    };
    onAction("mnuStandardSqu", &WaveCommands::mnuStandardSqu_Click);
    onAction("mnuStandardSin", &WaveCommands::mnuStandardSin_Click);
    onAction("mnuStandardCos", &WaveCommands::mnuStandardCos_Click);
    onAction("mnuStandardTri", &WaveCommands::mnuStandardTri_Click);
    onAction("mnuStandardUpRamp", &WaveCommands::mnuStandardUpRamp_Click);
    onAction("mnuStandardDownRamp", &WaveCommands::mnuStandardDownRamp_Click);
    onAction("mnuWaveXSymm", &WaveCommands::mnuWaveXSymm_Click);
    onAction("mnuWaveYSymm", &WaveCommands::mnuWaveYSymm_Click);
    onAction("mnuWaveDiv", &WaveCommands::mnuWaveDiv_Click);
    onAction("mnuWaveMul", &WaveCommands::mnuWaveMul_Click);
    onAction("mnuWaveAmplZoomIn", &WaveCommands::mnuWaveAmplZoomIn_Click);
    onAction("mnuWaveFreqMul", &WaveCommands::mnuWaveFreqMul_Click);
    onAction("mnuWaveSinAddFormula", &WaveCommands::mnuWaveSinAddFormula_Click);
}

// Every standard shape is drawn in full afterwards, whatever it wrote.
void WaveCommands::mnuStandardSqu_Click()
{
    const WaveStep step(host_, QStringLiteral("方波"));
    FillSquare(host_.store());
    host_.DrawWaveAll();
}

void WaveCommands::mnuStandardSin_Click()
{
    const WaveStep step(host_, QStringLiteral("正弦波"));
    FillSine(host_.store());
    host_.DrawWaveAll();
}

void WaveCommands::mnuStandardCos_Click()
{
    const WaveStep step(host_, QStringLiteral("余弦波"));
    FillCosine(host_.store());
    host_.DrawWaveAll();
}

void WaveCommands::mnuStandardTri_Click()
{
    const WaveStep step(host_, QStringLiteral("三角波"));
    FillTriangle(host_.store());
    host_.DrawWaveAll();
}

void WaveCommands::mnuStandardUpRamp_Click()
{
    const WaveStep step(host_, QStringLiteral("升锯齿波"));
    FillUpRamp(host_.store());
    host_.DrawWaveAll();
}

void WaveCommands::mnuStandardDownRamp_Click()
{
    const WaveStep step(host_, QStringLiteral("降锯齿波"));
    FillDownRamp(host_.store());
    host_.DrawWaveAll();
}

void WaveCommands::mnuWaveXSymm_Click()
{
    const WaveStep step(host_, QStringLiteral("X轴对称"));
    MirrorX(host_.store());
    host_.DrawWaveAll();
}

void WaveCommands::mnuWaveYSymm_Click()
{
    const WaveStep step(host_, QStringLiteral("Y轴对称"));
    MirrorY(host_.store());
    host_.DrawWaveAll();
}

// Cancel and a reply that is not a number divide or multiply by 1 and still
// redraw.
void WaveCommands::mnuWaveDiv_Click()
{
    const WaveStep step(host_, QStringLiteral("波形幅度除常数"));
    const QString reply = host_.prompt().input(DividePrompt(), DivideTitle(), FactorDefault());
    DivideBy(host_.store(), ReplyFactorSingle(reply));
    host_.DrawWaveAll();
}

void WaveCommands::mnuWaveMul_Click()
{
    const WaveStep step(host_, QStringLiteral("波形幅度乘常数"));
    const QString reply = host_.prompt().input(MultiplyPrompt(), MultiplyTitle(), FactorDefault());
    MultiplyBy(host_.store(), ReplyFactorSingle(reply));
    host_.DrawWaveAll();
}

void WaveCommands::mnuWaveAmplZoomIn_Click()
{
    const WaveStep step(host_, QStringLiteral("波形幅度归一化"));
    if (Normalise(host_.store()))
        host_.DrawWaveAll();
}

void WaveCommands::mnuWaveFreqMul_Click()
{
    const WaveStep step(host_, QStringLiteral("频率乘常数"));
    const QString reply = host_.prompt().input(FreqMulPrompt(), FreqMulTitle(), FactorDefault());
    const int k = ReplyFactorInt16(reply);
    if (k < 1) {
        host_.prompt().message(FreqMulFactorMessage(), FreqMulTitle(), MessageIcon::Critical);
        return;
    }
    FrequencyMultiply(host_.store(), k);
    host_.DrawWaveAll();
}

void WaveCommands::mnuWaveSinAddFormula_Click()
{
    const WaveStep step(host_, QStringLiteral("正弦波相加公式"));
    const QString reply = host_.prompt().input(FormulaPrompt(), FormulaBoxTitle(), FormulaDefault());
    const HarmonicParse parsed = ParseHarmonicFormula(reply);
    if (!parsed.ok) {
        host_.prompt().message(FormulaErrorMessage(), parsed.errorTitle, MessageIcon::Critical);
        return;
    }
    ArbStore &store = host_.store();
    if (!ApplyHarmonic(store, parsed.terms)) {
        host_.prompt().message(FormulaErrorMessage(), FormulaSyntaxTitle(), MessageIcon::Critical);
        return;
    }
    host_.setLengthText(QString::fromStdString(FormatWaveCount(store.ArbLength)));
    host_.commitLength();
    host_.DrawWaveAll();
}

} // namespace arb
