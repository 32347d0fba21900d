#include "scope/SerialTds.h"

#include "scope/PortMessages.h"
#include "scope/ScopeSettings.h"
#include "scope/TdsCommands.h"

#include <QTimer>
#include <utility>

namespace arb
{

namespace
{

const int kTimerIntervalMs = 500;

} // namespace

SerialTds::SerialTds(const ScopeSettings &settings, SerialPortIo &port, PortNameResolver portName,
                     const ScopeClock &clock, QObject *parent)
    : ScopeTransport(parent), settings_(settings), clock_(clock), comm_(port, std::move(portName))
{
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer_TDS"));
    timer_->setInterval(kTimerIntervalMs);
    connect(timer_, &QTimer::timeout, this, &SerialTds::judge);
    connect(&port, &SerialPortIo::dataArrived, this, &SerialTds::received);
}

void SerialTds::startUp()
{
    comm_.setDtrEnable(true);
    comm_.setRtsEnable(true);
    state_.ScopePhase = 0;
    state_.ScopeReplyDone = false;
}

QString SerialTds::identify()
{
    state_.ScopePhase = 0;
    if (comm_.isOpen())
        comm_.close();
    comm_.setCommPort(settings_.ScopePort);
    comm_.setHandshaking(settings_.ScopeHandshake);
    comm_.setDtrEnable(true);
    comm_.setRtsEnable(true);
    comm_.setSettings(settings_.PortSettingsString());
    const PortOpenResult result = comm_.open();
    if (result != PortOpenResult::Opened)
        return PortOpenFailedMessage(result, comm_.portLabel(), comm_.deviceName());
    state_.beginIdentify(clock_.nowMs(), settings_.ScopeBaud);
    timer_->start(kTimerIntervalMs);
    return send(IdentifyCommand(settings_.ScopeEol));
}

QString SerialTds::readTrace(const QString &source)
{
    state_.beginTrace(clock_.nowMs(), settings_.ScopeBaud);
    timer_->start(kTimerIntervalMs);
    for (const QByteArray &command : TraceReadCommands(source, settings_.ScopeEol)) {
        const QString failure = send(command);
        if (!failure.isEmpty())
            return failure;
    }
    return QString();
}

QString SerialTds::followPort()
{
    if (!comm_.isOpen()) {
        comm_.setCommPort(settings_.ScopePort);
        return QString();
    }
    // A port change takes effect at once, even while connected.
    comm_.close();
    comm_.setCommPort(settings_.ScopePort);
    const PortOpenResult result = comm_.open();
    if (result == PortOpenResult::Opened)
        return QString();
    return PortOpenFailedMessage(result, comm_.portLabel(), comm_.deviceName());
}

void SerialTds::close()
{
    timer_->stop();
    if (comm_.isOpen())
        comm_.close();
    setConnected(false);
}

bool SerialTds::pending() const
{
    return timer_->isActive();
}

QString SerialTds::send(const QByteArray &bytes)
{
    if (!comm_.isOpen())
        return PortClosedMessage(comm_.portLabel());
    if (comm_.output(bytes))
        return QString();
    const QString failure = PortWriteFailedMessage(comm_.portLabel());
    comm_.close();
    return failure;
}

void SerialTds::received()
{
    // Everything that has arrived is read; nothing is thrown away unread.
    const QByteArray bytes = comm_.input();
    if (bytes.isEmpty())
        return;

    if (state_.ScopePhase == 0) {
        const CaptureState::IdentifyProgress p = state_.receiveIdentify(bytes, settings_.ScopeEol);
        emit identifyProgress(p.value.value_or(0), p.maximum);
        if (p.identified) {
            timer_->stop();
            setConnected(true);
            emit identified();
        }
        return;
    }

    const CaptureState::TraceProgress p = state_.receiveTrace(bytes, settings_.ScopeEol);
    if (p.value)
        emit traceProgress(*p.value, p.percentBefore.value_or(QString()));
    if (p.complete) {
        timer_->stop();
        emit traceRead(state_.points());
    }
}

void SerialTds::judge()
{
    const CaptureState::Verdict verdict = state_.judge(clock_.nowMs());
    if (verdict == CaptureState::Verdict::Wait)
        return;
    timer_->stop();

    switch (verdict) {
    case CaptureState::Verdict::Identified:
        setConnected(true);
        emit identified();
        return;
    case CaptureState::Verdict::IdentifyFailed: emit identifyFailed(); return;
    case CaptureState::Verdict::TraceComplete: emit traceRead(state_.points()); return;
    case CaptureState::Verdict::TraceFailed: emit traceFailed(); return;
    case CaptureState::Verdict::Wait: return;
    }
}

} // namespace arb
