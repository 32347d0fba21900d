#include "app/EquationCommand.h"

#include "app/MainMenus.h"

#include "app/EquationDialog.h"
#include "app/EquationHistory.h"
#include "app/WaveformHost.h"
#include "core/ArbStore.h"
#include "core/WaveDocument.h"
#include "core/WaveStep.h"
#include "core/equation/EquationOutcome.h"
#include "core/equation/WaveEquation.h"

#include <QAction>
#include <QWidget>
#include <algorithm>

namespace arb
{

EquationCommand::EquationCommand(WaveformHost &host, QSettings &settings, QWidget *window)
    : QObject(window), host_(host), settings_(settings), window_(window)
{
}

void EquationCommand::connectMenu(const MainMenus &m)
{
    if (m.mnuWaveEquation)
        connect(m.mnuWaveEquation, &QAction::triggered, this, &EquationCommand::mnuWaveEquation_Click);
}

void EquationCommand::mnuWaveEquation_Click()
{
    const ArbStore &store = host_.document().store();
    EquationChoices choices;
    {
        EquationDialog dialog(store, LoadEquationHistory(settings_), window_);
        if (dialog.exec() != QDialog::Accepted)
            return;
        choices = dialog.choices();
    }
    // Computed again from the choices, on the waveform as it is now.
    WaveEquation equation;
    const EquationOutcome outcome =
        ComputeEquation(equation, choices, store.ArbData.data(), store.PointCount());
    if (!outcome.usable())
        return;
    RememberEquation(settings_, choices.text);
    writeRange(choices.first, outcome.points);
}

void EquationCommand::writeRange(int first, const std::vector<float> &points)
{
    WaveDocument &document = host_.document();
    const WaveStep step(document, QStringLiteral("任意公式"));
    document.replaceRange(first, points.data(), static_cast<int>(points.size()));
}

} // namespace arb
