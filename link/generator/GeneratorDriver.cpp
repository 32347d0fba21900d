#include "link/generator/GeneratorDriver.h"

#include "link/visa/UsbResources.h"
#include "link/visa/VisaCommands.h"

#include <iterator>
#include <utility>

namespace arb
{

using namespace visa;

namespace
{

// Timeout of every opened session, in milliseconds.
constexpr ViAttrState kIoTimeoutMs = 1000;

const int kBaudRates[] = {300, 600, 1200, 2400, 4800, 9600};

std::string Bytes(const QString &text)
{
    return text.toLocal8Bit().toStdString();
}

bool IsSerial(const QString &resource)
{
    return resource.startsWith(QLatin1String("ASRL"));
}

} // namespace

GeneratorDriver::GeneratorDriver(VisaApi &visa, QObject *parent) : QObject(parent), visa_(visa) {}

QList<int> GeneratorDriver::SerialBaudRates()
{
    return QList<int>(std::begin(kBaudRates), std::end(kBaudRates));
}

// ---- Instruments

ViSession GeneratorDriver::discover(Discovery &d)
{
    d = Discovery{};
    found_.clear();
    ViSession rm = VI_NULL;
    if (Failed(visa_.viOpenDefaultRM(&rm)))
        return VI_NULL;

    std::vector<std::string> usb;
    const ViStatus status = FindUsbResources(visa_, rm, usb);
    for (const std::string &resource : usb)
        found_ << QString::fromLocal8Bit(resource.c_str());
    if (Failed(status)) {
        visa_.viClose(rm);
        // No instrument at all: the connected one is gone too.
        if (status == VI_ERROR_RSRC_NFOUND && connected_) {
            d.lost = true;
            setConnected(false);
        }
        return VI_NULL;
    }

    // The one chosen is found again when a name begins with it; the last
    // such name counts.
    int match = -1;
    for (int i = 0; i < found_.size(); ++i) {
        if (found_[i].startsWith(chosen_))
            match = i;
    }
    d.listed = true;
    d.entries = found_.isEmpty() ? QStringList{QStringLiteral("ASRL1::INSTR")} : found_;
    if (match < 0 && connected_) {
        d.lost = true;
        setConnected(false);
    }
    d.select = match < 0 ? 0 : match;
    d.leftQuietly = choose(d.entries[d.select]);
    return rm;
}

void GeneratorDriver::adoptResourceManager(ViSession rm)
{
    if (defaultRM_ != VI_NULL && defaultRM_ != rm) {
        if (identifying_ && instrSession_ != VI_NULL && instrRM_ == defaultRM_) {
            // The identification still reads on a session of this one.
            retiredRMs_.push_back(defaultRM_);
        } else {
            closeHandle(defaultRM_);
        }
    }
    defaultRM_ = rm;
}

bool GeneratorDriver::choose(const QString &resource)
{
    const bool leave = connected_ && resource != chosen_;
    if (leave)
        setConnected(false);
    chosen_ = resource;
    return leave;
}

void GeneratorDriver::chooseBaud(int index)
{
    if (IsSerial(chosen_) && index >= 0 && index < static_cast<int>(std::size(kBaudRates)))
        serialBaud_ = kBaudRates[index];
}

void GeneratorDriver::chooseDataFormat(int index)
{
    if (!IsSerial(chosen_))
        return;
    switch (index) {
    case 0:
        serialDataBits_ = 8;
        serialParity_ = 0;
        break;
    case 1:
        serialDataBits_ = 7;
        serialParity_ = 1;
        break;
    case 2:
        serialDataBits_ = 7;
        serialParity_ = 2;
        break;
    default: return;
    }
    const std::pair<ViAttr, ViAttrState> settings[] = {
        {VI_ATTR_ASRL_DATA_BITS, static_cast<ViAttrState>(serialDataBits_)},
        {VI_ATTR_ASRL_PARITY, static_cast<ViAttrState>(serialParity_)},
        {VI_ATTR_ASRL_STOP_BITS, VI_ASRL_STOP_ONE},
        {VI_ATTR_ASRL_FLOW_CNTRL, VI_ASRL_FLOW_NONE},
    };
    for (const auto &[attr, value] : settings)
        if (Failed(visa_.viSetAttribute(instrSession_, attr, value)))
            closeHandle(defaultRM_);
}

// ---- Sessions

GeneratorDriver::OpenResult GeneratorDriver::openChosen()
{
    if (!chosen_.startsWith(QLatin1String("USB")))
        return OpenResult::NotUsb;
    ViSession session = VI_NULL;
    const std::string resource = Bytes(chosen_);
    if (Failed(visa_.viOpen(defaultRM_, resource.c_str(), 0, 0, &session))) {
        closeHandle(defaultRM_);
        return OpenResult::OpenFailed;
    }
    instrSession_ = session;
    instrRM_ = defaultRM_;
    if (Failed(visa_.viSetAttribute(instrSession_, VI_ATTR_TMO_VALUE, kIoTimeoutMs))) {
        closeHandle(defaultRM_);
        return OpenResult::TimeoutFailed;
    }
    return OpenResult::Opened;
}

void GeneratorDriver::dropSession()
{
    closeHandle(instrSession_);
    instrRM_ = VI_NULL;
}

GeneratorDriver::OpenResult GeneratorDriver::reopen()
{
    dropSession();
    Discovery found;
    adoptResourceManager(discover(found));
    return openChosen();
}

void GeneratorDriver::send(const std::string &command)
{
    SendCommand(visa_, instrSession_, command);
}

void GeneratorDriver::closeHandle(ViSession &handle)
{
    visa_.viClose(handle);
    // Closing a resource manager also ends the session opened on it.
    if (handle != VI_NULL && handle == instrRM_) {
        instrSession_ = VI_NULL;
        instrRM_ = VI_NULL;
    }
    handle = VI_NULL;
}

void GeneratorDriver::closeSessions()
{
    closeHandle(instrSession_);
    instrRM_ = VI_NULL;
    closeHandle(defaultRM_);
    for (ViSession rm : retiredRMs_)
        visa_.viClose(rm);
    retiredRMs_.clear();
}

// ---- The link

void GeneratorDriver::setConnected(bool connected)
{
    // A download cut off by the link starts again at its first chunk.
    if (!connected)
        download_.abandon();
    if (connected == connected_)
        return;
    connected_ = connected;
    emit connectedChanged(connected_);
}

void GeneratorDriver::startUp()
{
    setConnected(false);
    serialBaud_ = 9600;
    serialDataBits_ = 8;
    serialParity_ = 0;
}

void GeneratorDriver::sendIdentify()
{
    send("*IDN?");
    identifying_ = true;
}

QString GeneratorDriver::finishIdentify()
{
    identifying_ = false;
    const std::string reply = ReadReply(visa_, instrSession_);
    closeSessions();
    setConnected(true);
    return QString::fromLocal8Bit(reply.c_str()).trimmed();
}

void GeneratorDriver::closeLink()
{
    closeSessions();
    setConnected(false);
}

void GeneratorDriver::shutDown()
{
    identifying_ = false;
    closeSessions();
}

bool GeneratorDriver::reopenForChunk()
{
    reopen();
    return connected_;
}

void GeneratorDriver::sendChunk(const std::string &command)
{
    send(command);
}

} // namespace arb
