#pragma once

#include <QString>

namespace arb
{

class FormMain;

// Reads the file the program was started with into the window: one of the
// editor's own forms with an ending "打开" takes as "打开" reads it,
// anything else as "导入波形" reads it with the import dialog's first
// choices and no dialog. A file refused is told as those commands tell it.
void OpenStartFile(FormMain &window, const QString &path);

} // namespace arb
