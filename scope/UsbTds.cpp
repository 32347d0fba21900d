#include "scope/UsbTds.h"

#include "scope/CaptureState.h"
#include "scope/ScopeSettings.h"
#include "scope/TdsCommands.h"

namespace arb
{

UsbTds::UsbTds(const ScopeSettings &settings, visa::VisaApi &visa, QObject *parent)
    : ScopeTransport(parent), settings_(settings), worker_(visa)
{
    connect(&worker_, &UsbScopeWorker::identified, this, &UsbTds::conversationIdentified);
    connect(&worker_, &UsbScopeWorker::traceProgress, this, &UsbTds::conversationProgress);
    connect(&worker_, &UsbScopeWorker::traceRead, this, &UsbTds::conversationRead);
}

QString UsbTds::identify()
{
    emit waiting();
    worker_.identify(settings_.ScopeResource);
    return QString();
}

QString UsbTds::readTrace(const QString &source)
{
    emit waiting();
    worker_.readTrace(settings_.ScopeResource, source);
    return QString();
}

void UsbTds::close()
{
    worker_.abandon();
    setConnected(false);
}

void UsbTds::conversationIdentified(bool ok)
{
    emit counting(1);
    if (!ok) {
        emit identifyFailed();
        return;
    }
    setConnected(true);
    emit identified();
}

void UsbTds::conversationProgress(int dataBytes)
{
    emit counting(kTracePoints);
    emit traceProgress(dataBytes,
                       CaptureState::PercentText(dataBytes / static_cast<double>(kTracePoints) * 100.0));
}

void UsbTds::conversationRead(bool ok, const QByteArray &points)
{
    emit counting(kTracePoints);
    if (!ok || points.size() < kTracePoints) {
        emit traceFailed();
        return;
    }
    emit traceRead(points.left(kTracePoints));
}

} // namespace arb
