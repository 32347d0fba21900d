#pragma once

#include "link/visa/VisaApi.h"
#include "scope/ScopeClock.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <thread>

namespace arb
{

// Runs the oscilloscope's USB conversations (UsbTdsExchange) one at a time
// on a thread of its own, so that the window never waits on the instrument,
// and hands their progress and results back to the thread it lives in, as
// queued signals. A request made while one runs waits for it and starts
// once its result is delivered; a later request replaces a waiting one.
class UsbScopeWorker : public QObject
{
    Q_OBJECT
  public:
    explicit UsbScopeWorker(visa::VisaApi &visa, QObject *parent = nullptr);
    // Waits for a running conversation; nothing more is delivered.
    ~UsbScopeWorker() override;

    // The USB instruments found now, on the calling thread.
    QStringList instruments();

    void identify(const QString &resource);
    void readTrace(const QString &resource, const QString &source);

    // A conversation runs or waits to run.
    bool busy() const { return thread_.joinable() || waiting_ != nullptr; }
    // The running and the waiting conversation deliver nothing more; the
    // running one still ends on its own.
    void abandon();
    // Waits until the running conversation has ended.
    void wait();

  signals:
    void identified(bool ok);
    // Data bytes of the trace received so far.
    void traceProgress(int dataBytes);
    void traceRead(bool ok, const QByteArray &points);

  private:
    // A conversation, run on the worker thread with the number it was
    // given when it started.
    using Job = std::function<void(unsigned job)>;
    void request(Job job);
    void start(Job job);
    // Runs on this object's thread, for the conversation numbered job, if
    // that is still the current one.
    void deliver(unsigned job, std::function<void()> emitter);
    void finished(unsigned job, const std::function<void()> &emitter);

    visa::VisaApi &visa_;
    // Bounds the conversations; read on the worker thread only.
    SteadyScopeClock clock_;
    std::thread thread_;
    Job waiting_;
    // Numbers the conversations; abandoning one moves it on.
    unsigned current_ = 0;
};

} // namespace arb
