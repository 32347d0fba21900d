#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace arb
{

struct MainMenus;

class WaveformHost;

// The commands of the menus "标准波形(&S)" and "波形运算&W" that build or
// rework the waveform in place: the six standard shapes, the mirrors, divide,
// multiply, normalise, frequency multiply and the sum-of-sines formula.
class WaveCommands : public QObject
{
    Q_OBJECT
  public:
    explicit WaveCommands(WaveformHost &host, QObject *parent = nullptr);

    // Connects the menu items of these commands (mnuStandardSqu ...
    // mnuWaveSinAddFormula) to the slots; those that are none are left out.
    void connectMenu(const MainMenus &menus);

  public slots:
    void mnuStandardSqu_Click();
    void mnuStandardSin_Click();
    void mnuStandardCos_Click();
    void mnuStandardTri_Click();
    void mnuStandardUpRamp_Click();
    void mnuStandardDownRamp_Click();
    void mnuWaveXSymm_Click();
    void mnuWaveYSymm_Click();
    void mnuWaveDiv_Click();
    void mnuWaveMul_Click();
    void mnuWaveAmplZoomIn_Click();
    void mnuWaveFreqMul_Click();
    void mnuWaveSinAddFormula_Click();

  private:
    WaveformHost &host_;
};

// Input boxes: titles, two-line prompts and defaults.
QString DivideTitle();          // "波形除常数"
QString DividePrompt();         // "请输入除数,\n除数的绝对值大于1"
QString MultiplyTitle();        // "波形乘常数"
QString MultiplyPrompt();       // "请输入乘数,\n乘数的绝对值大于1"
QString FreqMulTitle();         // "倍频"
QString FreqMulPrompt();        // "请输入倍频系数,\n(系数>=1)"
QString FreqMulFactorMessage(); // "错误！系数<1"
QString FormulaPrompt(); // "正弦波公式相加,\n第一个正弦波波形幅度为 1, 独立变量为 x,ω = 1"
QString FormulaDefault(); // "sinx+0.5sin2x"
QString FactorDefault();  // "2"

} // namespace arb
