#include "scope/UsbScopeWorker.h"

#include "link/visa/UsbResources.h"
#include "scope/UsbTdsExchange.h"

#include <QMetaObject>
#include <utility>

namespace arb
{

UsbScopeWorker::UsbScopeWorker(visa::VisaApi &visa, QObject *parent) : QObject(parent), visa_(visa) {}

UsbScopeWorker::~UsbScopeWorker()
{
    abandon();
    wait();
}

QStringList UsbScopeWorker::instruments()
{
    QStringList names;
    for (const std::string &name : visa::ListUsbResources(visa_))
        names << QString::fromLocal8Bit(name.c_str());
    return names;
}

void UsbScopeWorker::identify(const QString &resource)
{
    const std::string name = resource.toLocal8Bit().toStdString();
    request([this, name](unsigned job) {
        const bool ok = IdentifyUsbScope(visa_, name, clock_);
        deliver(job, [this, ok] { emit identified(ok); });
    });
}

void UsbScopeWorker::readTrace(const QString &resource, const QString &source)
{
    const std::string name = resource.toLocal8Bit().toStdString();
    request([this, name, source](unsigned job) {
        const auto progress = [this, job](int bytes) {
            QMetaObject::invokeMethod(
                this,
                [this, job, bytes] {
                    if (job == current_)
                        emit traceProgress(bytes);
                },
                Qt::QueuedConnection);
        };
        QByteArray points;
        const bool ok = ReadUsbScopeTrace(visa_, name, source, progress, points, clock_);
        deliver(job, [this, ok, points] { emit traceRead(ok, points); });
    });
}

void UsbScopeWorker::request(Job job)
{
    if (thread_.joinable())
        waiting_ = std::move(job);
    else
        start(std::move(job));
}

void UsbScopeWorker::start(Job job)
{
    const unsigned number = ++current_;
    thread_ = std::thread([job = std::move(job), number] { job(number); });
}

void UsbScopeWorker::deliver(unsigned job, std::function<void()> emitter)
{
    QMetaObject::invokeMethod(
        this, [this, job, emitter = std::move(emitter)] { finished(job, emitter); }, Qt::QueuedConnection);
}

void UsbScopeWorker::finished(unsigned job, const std::function<void()> &emitter)
{
    // The thread has nothing left to do but end.
    wait();
    Job next = std::exchange(waiting_, nullptr);
    const unsigned delivered = current_;
    if (job == current_)
        emitter();
    // Unless the receiver abandoned it meanwhile, the request that waited
    // runs now.
    if (next && current_ == delivered)
        request(std::move(next));
}

void UsbScopeWorker::abandon()
{
    waiting_ = nullptr;
    ++current_;
}

void UsbScopeWorker::wait()
{
    if (thread_.joinable())
        thread_.join();
}

} // namespace arb
