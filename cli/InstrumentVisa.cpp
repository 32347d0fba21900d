#include "cli/InstrumentVisa.h"

#include "link/visa/LoadedVisa.h"
#include "link/visa/PlatformVisa.h"

#include <QFile>

namespace arb::cli
{

std::unique_ptr<visa::VisaApi> OpenInstrumentVisa(QString &error)
{
    const QByteArray named = qgetenv("ARB_VISA_LIBRARY");
    if (named.isEmpty())
        return visa::OpenPlatformVisa();
    if (std::unique_ptr<visa::LoadedVisa> library = visa::LoadedVisa::Load({named.toStdString()}))
        return library;
    error = QStringLiteral("无法加载 ARB_VISA_LIBRARY 指定的 VISA 库 %1").arg(QFile::decodeName(named));
    return nullptr;
}

QString NoInstrumentText()
{
    return QStringLiteral("未找到仪器");
}

} // namespace arb::cli
