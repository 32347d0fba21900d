#include "app/CaptureCommand.h"

#include "app/CaptureUi.h"
#include "app/ImportExportUi.h"
#include "app/WaveformHost.h"
#include "core/ArbStore.h"
#include "core/WaveDocument.h"
#include "core/WaveStep.h"
#include "core/import/ImportShaping.h"
#include "link/visa/NetworkResource.h"
#include "link/visa/UsbResources.h"
#include "scope/CaptureMessages.h"
#include "scope/ScopeAddress.h"
#include "view/UserPrompt.h"

#include <QSettings>
#include <algorithm>
#include <atomic>
#include <thread>

namespace arb
{

namespace
{

const QString kAddressesKey = QStringLiteral("Capture/Addresses");
const QString kAddressKey = QStringLiteral("Capture/Address");
const QString kChannelKey = QStringLiteral("Capture/Channel");

QString ChannelName(int channel)
{
    return QStringLiteral("CH%1").arg(channel);
}

} // namespace

CaptureCommand::CaptureCommand(WaveformHost &host, ImportExportUi &importUi, CaptureUi &ui,
                               visa::VisaApi &visa, QSettings &settings, QObject *parent)
    : QObject(parent), host_(host), importUi_(importUi), ui_(ui), visa_(visa), settings_(settings)
{
}

QStringList CaptureCommand::rememberedAddresses() const
{
    QStringList kept;
    // Only what would be taken again: settings edited by hand may hold anything.
    for (const QString &address : settings_.value(kAddressesKey).toStringList()) {
        const ScopeAddress resolved = ResolveScopeAddress(address.toStdString());
        if (resolved.fault == AddressFault::None && !kept.contains(address) && kept.size() < kMaxRemembered)
            kept << address;
    }
    return kept;
}

QStringList CaptureCommand::instruments() const
{
    QStringList names;
    for (const std::string &name : visa::ListUsbResources(visa_))
        names << QString::fromStdString(name);
    for (const QString &address : rememberedAddresses())
        if (!names.contains(address))
            names << address;
    return names;
}

void CaptureCommand::remember(const std::string &resource)
{
    if (!visa::ParseSocketResource(resource) && !visa::ParseVxi11Resource(resource))
        return;
    QStringList kept = rememberedAddresses();
    const QString address = QString::fromStdString(resource);
    kept.removeAll(address);
    kept.prepend(address);
    while (kept.size() > kMaxRemembered)
        kept.removeLast();
    settings_.setValue(kAddressesKey, kept);
}

CaptureResult CaptureCommand::read(const std::string &resource, int channel)
{
    CaptureControl control;
    CaptureResult result;
    std::atomic<bool> done{false};
    const CaptureLimits limits = limits_;
    std::thread reader([&] {
        result = CaptureOverVisa(visa_, resource, channel, control, limits);
        done.store(true);
    });
    ui_.waitForCapture(control, [&done] { return done.load(); });
    reader.join();
    if (control.cancel.load() && !result.fault)
        result.fault = CaptureFault::Of(CaptureFaultKind::Cancelled);
    return result;
}

void CaptureCommand::menuFileCapture_Click()
{
    const WaveStep step(host_.document(), QStringLiteral("从示波器导入"));
    CaptureSource initial;
    initial.address = settings_.value(kAddressKey).toString();
    initial.channel = std::clamp(settings_.value(kChannelKey, 1).toInt(), 1, 4);
    std::string resource;
    const auto take = [&](const CaptureSource &source) {
        const ScopeAddress resolved = ResolveScopeAddress(source.address.toStdString());
        if (resolved.fault != AddressFault::None) {
            host_.prompt().message(AddressFaultMessage(resolved.fault), CaptureTitle(),
                                   MessageIcon::Exclamation);
            return false;
        }
        resource = resolved.resource;
        return true;
    };
    const std::optional<CaptureSource> source = ui_.chooseSource(
        initial, [this] { return instruments(); }, take);
    if (!source)
        return;
    const int channel = std::clamp(source->channel, 1, 4);
    settings_.setValue(kAddressKey, source->address.trimmed());
    settings_.setValue(kChannelKey, channel);

    CaptureResult result = read(resource, channel);
    if (result.fault) {
        const QString text =
            CaptureFaultMessage(result.fault, result.record.maker, resource, limits_.stallMs);
        if (!text.isEmpty())
            host_.prompt().message(text, CaptureTitle(), MessageIcon::Exclamation);
        return;
    }
    remember(resource);

    ImportReadResult captured;
    captured.table.columnNames = {ChannelName(channel).toStdString()};
    captured.table.codedColumns.push_back(std::move(result.record.volts));
    const std::optional<ImportChoices> choices = importUi_.chooseImport(captured, ChannelName(channel));
    if (!choices || choices->column != 0)
        return;
    ImportChoices held = *choices;
    held.points = std::clamp(held.points, kMinArbLength, kMaxArbLength);
    const ImportedPoints imported = ShapeImport(captured.table, held);
    WaveDocument &document = host_.document();
    ArbStore next = document.store();
    std::copy(imported.points.begin(), imported.points.end(), next.ArbData.begin());
    next.ArbLength = static_cast<float>(imported.points.size());
    document.replaceAll(next);
}

} // namespace arb
