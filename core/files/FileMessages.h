#pragma once

#include <QString>

namespace arb
{

// Message texts of the file commands (in the window: title "任意波处理",
// exclamation icon), shared by the window and the command line.
QString FileCommandsTitle();
QString WrongEndingMessage();
QString FileFormatMessage();
QString FileOpenFailedMessage();
QString FileReadFailedMessage();
QString FileCreateFailedMessage();
QString FileWriteFailedMessage();

} // namespace arb
