#pragma once

class QCoreApplication;

namespace arb
{

// Puts Qt's own texts into Simplified Chinese: the standard buttons of message
// and input boxes, the file dialogs and the context menus of text fields.
// The whole interface is Chinese, so this holds whatever the system's
// language. The catalogue is Qt's qtbase_zh_CN.qm from Qt's translations
// folder; where it is not installed Qt's texts stay in English. True when it
// was loaded.
bool InstallQtChineseTranslations(QCoreApplication &app);

} // namespace arb
