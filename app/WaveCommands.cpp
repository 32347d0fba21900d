#include "app/WaveCommands.h"

#include "app/MainMenus.h"

#include "app/WaveformHost.h"
#include "core/ArbStore.h"
#include "core/HarmonicFormula.h"
#include "core/NumericReply.h"
#include "core/StandardWaves.h"
#include "core/WaveDocument.h"
#include "core/WaveStep.h"
#include "core/WaveTransforms.h"
#include "view/UserPrompt.h"

#include <QAction>
#include <QWidget>

namespace arb
{

namespace
{

// The waveform as change leaves a copy of it: a new waveform, drawn in full.
template <typename Change> void ReplaceWith(WaveDocument &document, Change change)
{
    ArbStore next = document.store();
    change(next);
    document.replacePoints(next);
}

} // namespace

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

void WaveCommands::connectMenu(const MainMenus &m)
{
    const auto onAction = [this](QAction *a, void (WaveCommands::*slot)()) {
        if (a)
            connect(a, &QAction::triggered, this, slot);
    };
    onAction(m.mnuStandardSqu, &WaveCommands::mnuStandardSqu_Click);
    onAction(m.mnuStandardSin, &WaveCommands::mnuStandardSin_Click);
    onAction(m.mnuStandardCos, &WaveCommands::mnuStandardCos_Click);
    onAction(m.mnuStandardTri, &WaveCommands::mnuStandardTri_Click);
    onAction(m.mnuStandardUpRamp, &WaveCommands::mnuStandardUpRamp_Click);
    onAction(m.mnuStandardDownRamp, &WaveCommands::mnuStandardDownRamp_Click);
    onAction(m.mnuWaveXSymm, &WaveCommands::mnuWaveXSymm_Click);
    onAction(m.mnuWaveYSymm, &WaveCommands::mnuWaveYSymm_Click);
    onAction(m.mnuWaveDiv, &WaveCommands::mnuWaveDiv_Click);
    onAction(m.mnuWaveMul, &WaveCommands::mnuWaveMul_Click);
    onAction(m.mnuWaveAmplZoomIn, &WaveCommands::mnuWaveAmplZoomIn_Click);
    onAction(m.mnuWaveFreqMul, &WaveCommands::mnuWaveFreqMul_Click);
    onAction(m.mnuWaveSinAddFormula, &WaveCommands::mnuWaveSinAddFormula_Click);
}

// Every standard shape is drawn in full afterwards, whatever it wrote.
void WaveCommands::mnuStandardSqu_Click()
{
    const WaveStep step(host_.document(), QStringLiteral("方波"));
    ReplaceWith(host_.document(), FillSquare);
}

void WaveCommands::mnuStandardSin_Click()
{
    const WaveStep step(host_.document(), QStringLiteral("正弦波"));
    ReplaceWith(host_.document(), FillSine);
}

void WaveCommands::mnuStandardCos_Click()
{
    const WaveStep step(host_.document(), QStringLiteral("余弦波"));
    ReplaceWith(host_.document(), FillCosine);
}

void WaveCommands::mnuStandardTri_Click()
{
    const WaveStep step(host_.document(), QStringLiteral("三角波"));
    ReplaceWith(host_.document(), FillTriangle);
}

void WaveCommands::mnuStandardUpRamp_Click()
{
    const WaveStep step(host_.document(), QStringLiteral("升锯齿波"));
    ReplaceWith(host_.document(), FillUpRamp);
}

void WaveCommands::mnuStandardDownRamp_Click()
{
    const WaveStep step(host_.document(), QStringLiteral("降锯齿波"));
    ReplaceWith(host_.document(), FillDownRamp);
}

void WaveCommands::mnuWaveXSymm_Click()
{
    const WaveStep step(host_.document(), QStringLiteral("X轴对称"));
    ReplaceWith(host_.document(), MirrorX);
}

void WaveCommands::mnuWaveYSymm_Click()
{
    const WaveStep step(host_.document(), QStringLiteral("Y轴对称"));
    ReplaceWith(host_.document(), MirrorY);
}

// Cancel and a reply that is not a number divide or multiply by 1 and still
// redraw.
void WaveCommands::mnuWaveDiv_Click()
{
    const WaveStep step(host_.document(), QStringLiteral("波形幅度除常数"));
    const QString reply = host_.prompt().input(DividePrompt(), DivideTitle(), FactorDefault());
    const float divisor = ReplyFactorSingle(reply);
    ReplaceWith(host_.document(), [divisor](ArbStore &points) { DivideBy(points, divisor); });
}

void WaveCommands::mnuWaveMul_Click()
{
    const WaveStep step(host_.document(), QStringLiteral("波形幅度乘常数"));
    const QString reply = host_.prompt().input(MultiplyPrompt(), MultiplyTitle(), FactorDefault());
    const float factor = ReplyFactorSingle(reply);
    ReplaceWith(host_.document(), [factor](ArbStore &points) { MultiplyBy(points, factor); });
}

void WaveCommands::mnuWaveAmplZoomIn_Click()
{
    WaveDocument &document = host_.document();
    const WaveStep step(document, QStringLiteral("波形幅度归一化"));
    // A waveform already at full scale, or all zero, is left as it is.
    ArbStore next = document.store();
    if (Normalise(next))
        document.replacePoints(next);
}

void WaveCommands::mnuWaveFreqMul_Click()
{
    const WaveStep step(host_.document(), QStringLiteral("频率乘常数"));
    const QString reply = host_.prompt().input(FreqMulPrompt(), FreqMulTitle(), FactorDefault());
    const int k = ReplyFactorInt16(reply);
    if (k < 1) {
        host_.prompt().message(FreqMulFactorMessage(), FreqMulTitle(), MessageIcon::Critical);
        return;
    }
    ReplaceWith(host_.document(), [k](ArbStore &points) { FrequencyMultiply(points, k); });
}

void WaveCommands::mnuWaveSinAddFormula_Click()
{
    WaveDocument &document = host_.document();
    const WaveStep step(document, QStringLiteral("正弦波相加公式"));
    const QString reply = host_.prompt().input(FormulaPrompt(), FormulaBoxTitle(), FormulaDefault());
    const HarmonicParse parsed = ParseHarmonicFormula(reply);
    if (!parsed.ok) {
        host_.prompt().message(FormulaErrorMessage(), parsed.errorTitle, MessageIcon::Critical);
        return;
    }
    ArbStore next = document.store();
    if (!ApplyHarmonic(next, parsed.terms)) {
        host_.prompt().message(FormulaErrorMessage(), FormulaSyntaxTitle(), MessageIcon::Critical);
        return;
    }
    // The trimmed length goes into the length field, which is committed as
    // leaving it does: a length outside 4..16384 is held to its bound with
    // the range message and clears the waveform, before anything is drawn.
    document.assign(next);
    document.setLength(next.ArbLength);
    host_.commitLength();
    // What the commit left is the formula's waveform.
    document.replacePoints(document.store());
}

} // namespace arb
