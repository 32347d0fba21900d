#include "app/ShapeCommands.h"

#include "app/MainMenus.h"

#include "app/ShapeDialog.h"
#include "app/ShapeMemory.h"
#include "app/WaveformHost.h"
#include "core/ArbStore.h"
#include "core/WaveDocument.h"
#include "core/WaveStep.h"
#include "core/shapes/ShapeSynthesis.h"

#include <QAction>
#include <QWidget>

namespace arb
{

ShapeCommands::ShapeCommands(WaveformHost &host, QSettings &settings, QWidget *window, QObject *parent)
    : QObject(parent), host_(host), settings_(settings), window_(window)
{
}

void ShapeCommands::connectMenu(const MainMenus &m)
{
    if (m.mnuStandardMore)
        connect(m.mnuStandardMore, &QAction::triggered, this, &ShapeCommands::mnuStandardMore_Click);
}

void ShapeCommands::mnuStandardMore_Click()
{
    const ArbStore &store = host_.document().store();
    ShapeDialog dialog(store.ArbData.data(), store.LastIndex() + 1, RecallShapeChoices(settings_),
                       host_.prompt(), window_);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::optional<ShapeRequest> request = dialog.request();
    if (!request)
        return;
    RememberShapeChoice(settings_, request->settings);
    apply(*request);
}

void ShapeCommands::apply(const ShapeRequest &request)
{
    WaveDocument &document = host_.document();
    const WaveStep step(document, DescribeShape(request.settings.kind).caption);
    ArbStore next = document.store();
    if (WriteShape(next, request).computed)
        document.replacePoints(next);
}

} // namespace arb
