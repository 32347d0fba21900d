#pragma once

#include "link/generator/GeneratorDriver.h"

#include <QString>

namespace arb
{

// Title and texts of the generator link's message boxes, all shown with the
// information icon.
QString GeneratorTitle();  // "提示信息"
QString LinkLostMessage(); // the connected generator is no longer found
// Why an opening failed: the chosen resource is not a USB one, the session
// did not open, or its timeout could not be set. Empty for one that opened.
QString OpenFailureMessage(GeneratorDriver::OpenResult result);
QString NotConnectedMessage(); // a send without a connection
QString DefaultNameMessage();  // the name sent alone is still the default
QString BadNameMessage();      // a name the generator cannot take

} // namespace arb
