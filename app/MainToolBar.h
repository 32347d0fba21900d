#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QToolBar;

namespace arb
{

// The ten keyed buttons of the tool bar. A click reports the button's key;
// the window dispatches on it.
void BuildToolBarButtons(QToolBar *bar, const std::function<void(const QString &key)> &onClick);

// The keys in the order of the bar.
QStringList ToolBarKeys();

} // namespace arb
