#pragma once

#include "link/visa/VisaApi.h"
#include "scope/ScopeTransport.h"
#include "scope/UsbScopeWorker.h"

#include <QStringList>

namespace arb
{

struct ScopeSettings;

// A TDS or TBS oscilloscope on its USB device port, reached through the VISA
// layer: each request is one conversation (UsbTdsExchange) on the worker's
// thread, on the instrument chosen when it is asked. Nothing of a reply is
// known until it is read, so a request starts by waiting.
class UsbTds final : public ScopeTransport
{
    Q_OBJECT
  public:
    UsbTds(const ScopeSettings &settings, visa::VisaApi &visa, QObject *parent = nullptr);

    // The USB instruments found now, on the calling thread.
    QStringList instruments() { return worker_.instruments(); }

    QString identify() override;
    QString readTrace(const QString &source) override;
    // The conversation under way still ends on its own; its answer is
    // dropped.
    void close() override;
    bool pending() const override { return worker_.busy(); }

    // A conversation runs or waits to run.
    bool busy() const { return worker_.busy(); }
    // Waits until the running conversation has ended.
    void wait() { worker_.wait(); }

  private:
    void conversationIdentified(bool ok);
    void conversationProgress(int dataBytes);
    void conversationRead(bool ok, const QByteArray &points);

    const ScopeSettings &settings_;
    UsbScopeWorker worker_;
};

} // namespace arb
