#include "app/QtCaptureUi.h"

#include "app/CaptureDialog.h"
#include "scope/VisaScopeTalk.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <limits>

namespace arb
{

namespace
{

// How often the progress dialog shows the count anew, in milliseconds.
constexpr int kRepaintMs = 50;
// The bar's steps when the block's length is known.
constexpr int kSteps = 1000;

} // namespace

QString QtCaptureUi::ProgressText(quint64 received, quint64 total)
{
    if (total == 0)
        return QStringLiteral("正在从示波器读取…\n已接收 %1 字节").arg(received);
    return QStringLiteral("正在从示波器读取…\n已接收 %1 / %2 字节").arg(received).arg(total);
}

std::optional<CaptureSource> QtCaptureUi::chooseSource(const CaptureSource &initial,
                                                       const std::function<QStringList()> &instruments,
                                                       const std::function<bool(const CaptureSource &)> &read)
{
    CaptureDialog dialog(instruments, parent_);
    dialog.setAddressText(initial.address);
    dialog.setChannel(initial.channel);
    std::optional<CaptureSource> chosen;
    QObject::connect(&dialog, &CaptureDialog::readRequested, &dialog, [&] {
        const CaptureSource source{dialog.addressText(), dialog.channel()};
        if (read(source)) {
            chosen = source;
            dialog.accept();
        }
    });
    dialog.exec();
    return chosen;
}

void QtCaptureUi::waitForCapture(CaptureControl &control, const std::function<bool()> &finished)
{
    QProgressDialog dialog(ProgressText(0, 0), QStringLiteral("取消"), 0, 0, parent_);
    dialog.setObjectName(QStringLiteral("CaptureProgress"));
    dialog.setWindowTitle(QStringLiteral("从示波器导入"));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    QEventLoop loop;
    QTimer timer;
    timer.setInterval(kRepaintMs);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        if (finished()) {
            loop.quit();
            return;
        }
        // Before the block: every byte of the replies; then the block's own.
        const quint64 total = control.blockBytes.load(std::memory_order_relaxed);
        const quint64 received = total > 0 ? control.blockReceived.load(std::memory_order_relaxed)
                                           : control.received.load(std::memory_order_relaxed);
        if (control.cancel.load(std::memory_order_relaxed))
            return;
        dialog.setLabelText(ProgressText(received, total));
        if (total > 0) {
            dialog.setMaximum(kSteps);
            dialog.setValue(static_cast<int>(std::min<quint64>(kSteps, received * kSteps / total)));
        }
    });
    // A cancel is seen by the read at its next wait; the dialog stays up
    // until the read has ended.
    QObject::connect(&dialog, &QProgressDialog::canceled, &loop, [&] {
        control.cancel.store(true);
        dialog.setLabelText(QStringLiteral("正在取消…"));
        dialog.show();
    });
    timer.start();
    dialog.show();
    if (!finished())
        loop.exec();
}

} // namespace arb
