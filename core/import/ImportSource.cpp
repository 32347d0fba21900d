#include "core/import/ImportSource.h"

#include <QIODevice>
#include <algorithm>
#include <cstring>

namespace arb
{

namespace
{

const QByteArray kUtf8Bom("\xEF\xBB\xBF");
const QByteArray kUtf16LeBom("\xFF\xFE");
const QByteArray kUtf16BeBom("\xFE\xFF");
// UTF-16 is converted in blocks of this size.
constexpr std::size_t kUtf16Block = 256 * 1024;

} // namespace

ImportSource::ImportSource(QIODevice &device, const ImportReadOptions &options)
    : device_(device), options_(options), begin_(device.pos()), total_(device.size() - device.pos())
{
    start();
}

void ImportSource::start()
{
    done_ = 0;
    pending_.clear();
    pendingAt_ = 0;
    error_ = ImportError::None;
    utf16_ = false;
    const QByteArray head = device_.peek(kUtf8Bom.size());
    if (head.startsWith(kUtf8Bom)) {
        device_.skip(kUtf8Bom.size());
    } else if (head.startsWith(kUtf16LeBom) || head.startsWith(kUtf16BeBom)) {
        // The decoder takes the byte-order mark off itself.
        utf16_ = true;
        decoder_ = QStringDecoder(head.startsWith(kUtf16LeBom) ? QStringConverter::Utf16LE
                                                               : QStringConverter::Utf16BE);
    }
}

bool ImportSource::rewind(bool countAgain)
{
    if (!device_.seek(begin_))
        return false;
    start();
    if (countAgain)
        reported_ = 0;
    return true;
}

std::int64_t ImportSource::fail(ImportError error)
{
    error_ = error;
    return -1;
}

bool ImportSource::readDevice(char *raw, std::size_t max, std::int64_t &n)
{
    n = device_.read(raw, static_cast<qint64>(max));
    if (n < 0) {
        fail(ImportError::ReadFailed);
        return false;
    }
    done_ += n;
    if (done_ > reported_) {
        reported_ = done_;
        if (options_.progress && !options_.progress(done_, total_)) {
            fail(ImportError::Cancelled);
            return false;
        }
    }
    return true;
}

std::int64_t ImportSource::read(char *out, std::size_t max)
{
    if (error_ != ImportError::None)
        return -1;
    std::int64_t n = 0;
    if (!utf16_)
        return readDevice(out, max, n) ? n : -1;
    raw_.resize(kUtf16Block);
    while (pendingAt_ == static_cast<std::size_t>(pending_.size())) {
        if (!readDevice(raw_.data(), raw_.size(), n))
            return -1;
        if (n == 0)
            return 0;
        const QString text = decoder_.decode(QByteArrayView(raw_.data(), static_cast<qsizetype>(n)));
        pending_ = text.toUtf8();
        pendingAt_ = 0;
    }
    const std::size_t take = std::min(max, static_cast<std::size_t>(pending_.size()) - pendingAt_);
    std::memcpy(out, pending_.constData() + pendingAt_, take);
    pendingAt_ += take;
    return static_cast<std::int64_t>(take);
}

} // namespace arb
