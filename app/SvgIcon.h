#pragma once

#include <QIcon>
#include <QString>

namespace arb
{

// An icon drawn from one of the program's square SVG drawings (the tool bar's
// images, the program's icon), sharp at every size and screen scale. Each
// size is rendered from the drawing when first asked for and kept with the
// icon; the disabled, active and selected looks are made from that rendering
// by the style, as for any icon. Qt's own SVG icons read and check the whole
// drawing once more when the icon is made, a cost every start-up paid for
// every image.
QIcon SvgIcon(const QString &path);

} // namespace arb
