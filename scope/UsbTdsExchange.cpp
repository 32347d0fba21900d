#include "scope/UsbTdsExchange.h"

#include "link/visa/VisaSession.h"
#include "scope/TdsCommands.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace arb
{

using namespace visa;

namespace
{

// Data bytes per read while the points arrive, so that progress can be
// shown; what follows them is read in larger pieces and dropped.
constexpr std::size_t kPointPiece = 500;
constexpr std::size_t kDropPiece = 65536;
// An identification longer than this is not waited on.
constexpr std::size_t kIdentifyLimit = 4096;

} // namespace

bool IdentifyUsbScope(VisaApi &visa, const std::string &resource, const ScopeClock &clock)
{
    VisaSession session(visa, resource, kUsbIdentifyTimeoutMs, clock);
    if (!session.isOpen() || !session.send("*IDN?"))
        return false;
    std::vector<ViByte> reply;
    while (reply.size() < kIdentifyLimit) {
        const std::size_t from = reply.size();
        if (!session.readSome(256, reply))
            return false;
        if (std::find(reply.begin() + static_cast<std::ptrdiff_t>(from), reply.end(), '\n') != reply.end())
            return true;
        if (session.ended())
            return false;
    }
    return false;
}

bool ReadUsbScopeTrace(VisaApi &visa, const std::string &resource, const QString &source,
                       const std::function<void(int)> &progress, QByteArray &points, const ScopeClock &clock)
{
    VisaSession session(visa, resource, kUsbTraceTimeoutMs, clock);
    if (!session.isOpen())
        return false;
    for (const QByteArray &command : TraceReadCommandTexts(source)) {
        if (!session.send(command.toStdString()))
            return false;
    }

    const std::int64_t length = session.readBlockLength();
    if (length < kTracePoints)
        return false;
    std::vector<ViByte> data;
    data.reserve(kTracePoints);
    while (data.size() < static_cast<std::size_t>(kTracePoints)) {
        const std::size_t piece = std::min(kPointPiece, kTracePoints - data.size());
        if (!session.readExactly(piece, data))
            return false;
        if (progress)
            progress(static_cast<int>(data.size()));
    }
    // A longer record: the rest of the block is read and dropped.
    std::int64_t rest = length - kTracePoints;
    std::vector<ViByte> dropped;
    while (rest > 0) {
        const std::size_t piece = static_cast<std::size_t>(std::min<std::int64_t>(rest, kDropPiece));
        dropped.clear();
        if (!session.readExactly(piece, dropped))
            return false;
        rest -= static_cast<std::int64_t>(piece);
    }
    // One line feed, and the message ends with it: a read of two bytes
    // gives just that one.
    std::vector<ViByte> lineEnd;
    if (!session.readSome(2, lineEnd) || lineEnd.size() != 1 || lineEnd[0] != '\n')
        return false;
    points = QByteArray(reinterpret_cast<const char *>(data.data()), kTracePoints);
    return true;
}

} // namespace arb
