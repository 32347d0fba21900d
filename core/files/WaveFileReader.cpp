#include "core/files/WaveFileReader.h"

#include "core/ArbStore.h"
#include "core/files/WaveNumber.h"

#include <QIODevice>
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

namespace arb
{

namespace
{

constexpr std::string_view kMakerCopyright = "Copyright: Korvane Technologies";
constexpr std::string_view kMakerFormat = "File Format:2.0";
constexpr std::string_view kAgilentCopyright = "Copyright: Agilent Technologies";
constexpr std::string_view kAgilentFormat = "File Format:1.0";
constexpr std::string_view kDataPoints = "Data Points:";
constexpr std::string_view kArbName = "Arb Name:";
constexpr std::string_view kData = "Data:";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr double kAgilentFullScale = 32768.0;

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

void DropLineEnd(std::string &line)
{
    if (!line.empty() && line.back() == '\n')
        line.pop_back();
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
}

} // namespace

LineRead TextLineSource::readLine(std::string &line)
{
    if (pos_ >= text_.size())
        return LineRead::End;
    const std::size_t end = text_.find('\n', pos_);
    const std::size_t stop = end == std::string_view::npos ? text_.size() : end + 1;
    line.assign(text_.substr(pos_, stop - pos_));
    pos_ = stop;
    DropLineEnd(line);
    return LineRead::Line;
}

DeviceLineSource::DeviceLineSource(QIODevice &device, std::size_t blockBytes)
    : device_(device), block_(std::max<std::size_t>(blockBytes, 1))
{
}

bool DeviceLineSource::fill()
{
    const qint64 n = device_.read(block_.data(), static_cast<qint64>(block_.size()));
    if (n < 0)
        failed_ = true;
    if (n <= 0)
        return false;
    begin_ = 0;
    end_ = static_cast<std::size_t>(n);
    return true;
}

LineRead DeviceLineSource::readLine(std::string &line)
{
    line.clear();
    if (failed_)
        return LineRead::Error;
    bool started = false;
    for (;;) {
        if (begin_ == end_ && !fill()) {
            if (failed_)
                return LineRead::Error;
            if (!started)
                return LineRead::End;
            break; // a last line without an end
        }
        started = true;
        const char *from = block_.data() + begin_;
        const std::size_t available = end_ - begin_;
        const auto *newline = static_cast<const char *>(std::memchr(from, '\n', available));
        const std::size_t take = newline ? static_cast<std::size_t>(newline - from) + 1 : available;
        if (line.size() < kMaxLineBytes)
            line.append(from, std::min(take, kMaxLineBytes - line.size()));
        begin_ += take;
        if (newline)
            break;
    }
    DropLineEnd(line);
    return LineRead::Line;
}

WaveReadStatus WaveFileReader::nextLine()
{
    switch (lines_.readLine(line_)) {
    case LineRead::Line: break;
    case LineRead::End: return WaveReadStatus::EndOfFile;
    case LineRead::Error: return WaveReadStatus::ReadError;
    }
    if (first_) {
        first_ = false;
        if (StartsWith(line_, kUtf8Bom))
            line_.erase(0, kUtf8Bom.size());
    }
    return WaveReadStatus::Ok;
}

WaveReadStatus WaveFileReader::readHeader(WaveFileHeader &header)
{
    WaveFileHeader h;
    if (const WaveReadStatus s = nextLine(); s != WaveReadStatus::Ok)
        return s;
    if (line_ == kMakerCopyright) {
        h.form = WaveFileForm::Maker20;
        if (const WaveReadStatus s = nextLine(); s != WaveReadStatus::Ok)
            return s;
        if (line_ != kMakerFormat)
            return WaveReadStatus::FormatError;
        if (const WaveReadStatus s = nextLine(); s != WaveReadStatus::Ok)
            return s;
        if (!StartsWith(line_, kDataPoints))
            return WaveReadStatus::FormatError;
        const auto n = ParseWaveSingle(std::string_view(line_).substr(kDataPoints.size()));
        if (!n)
            return WaveReadStatus::FormatError;
        h.count = *n;
        if (const WaveReadStatus s = nextLine(); s != WaveReadStatus::Ok)
            return s;
        if (!StartsWith(line_, kArbName))
            return WaveReadStatus::FormatError;
        h.name = line_.substr(kArbName.size());
    } else if (const auto n = ParseWaveSingle(line_)) {
        h.form = WaveFileForm::Plain;
        h.count = *n;
    } else if (StartsWith(line_, kAgilentCopyright)) {
        h.form = WaveFileForm::Agilent10;
        if (const WaveReadStatus s = nextLine(); s != WaveReadStatus::Ok)
            return s;
        if (line_ != kAgilentFormat)
            return WaveReadStatus::FormatError;
        if (const WaveReadStatus s = nextLine(); s != WaveReadStatus::Ok)
            return s;
        if (const WaveReadStatus s = nextLine(); s != WaveReadStatus::Ok)
            return s;
        if (const WaveReadStatus s = nextLine(); s != WaveReadStatus::Ok)
            return s;
        const std::size_t at = line_.find(kDataPoints);
        if (at == std::string::npos)
            return WaveReadStatus::FormatError;
        const auto count = ParseWaveSingle(std::string_view(line_).substr(at + kDataPoints.size()));
        if (!count)
            return WaveReadStatus::FormatError;
        h.count = *count;
        if (const WaveReadStatus s = nextLine(); s != WaveReadStatus::Ok)
            return s;
        if (line_ != kData)
            return WaveReadStatus::FormatError;
    } else {
        return WaveReadStatus::FormatError;
    }
    form_ = h.form;
    header = std::move(h);
    return WaveReadStatus::Ok;
}

WaveReadStatus WaveFileReader::nextValue(float &value)
{
    if (const WaveReadStatus s = nextLine(); s != WaveReadStatus::Ok)
        return s;
    float point = 0.0f;
    if (form_ == WaveFileForm::Agilent10) {
        const auto code = ParseWaveDouble(line_);
        if (!code)
            return WaveReadStatus::FormatError;
        const double quotient = *code / kAgilentFullScale;
        // Beyond the single-precision range the point cannot be held.
        if (!(std::fabs(quotient) <= static_cast<double>(FLT_MAX)))
            return WaveReadStatus::FormatError;
        point = static_cast<float>(quotient);
    } else {
        const auto number = ParseWaveSingle(line_);
        if (!number)
            return WaveReadStatus::FormatError;
        point = *number;
    }
    if (!std::isfinite(point))
        return WaveReadStatus::FormatError;
    value = point;
    if (point < -1.0f || point > 1.0f)
        return WaveReadStatus::OutOfRange;
    return WaveReadStatus::Ok;
}

bool IsOpenableCount(float count)
{
    return count >= static_cast<float>(kMinArbLength) && count <= static_cast<float>(kMaxArbLength);
}

std::optional<int> CombinableCount(float count)
{
    const int m = RoundHalfEven(static_cast<double>(count));
    if (m > kMaxArbLength)
        return std::nullopt;
    return m;
}

WaveReadStatus ReadPoints(WaveFileReader &reader, ArbStore &store, int count)
{
    const int n = std::min(count, kArbBufferSize);
    for (int i = 0; i < n; ++i) {
        float v = 0.0f;
        const WaveReadStatus s = reader.nextValue(v);
        if (s == WaveReadStatus::OutOfRange) {
            store.ArbData[static_cast<std::size_t>(i)] = v;
            return WaveReadStatus::FormatError;
        }
        if (s != WaveReadStatus::Ok)
            return s;
        store.ArbData[static_cast<std::size_t>(i)] = v;
    }
    return WaveReadStatus::Ok;
}

WaveReadStatus CombinePoints(WaveFileReader &reader, ArbStore &store, int fileCount, int last, WaveCombine op)
{
    const int stop = std::min(last, kArbBufferSize - 1);
    for (int i = 0; i <= stop; ++i) {
        float v = 0.0f;
        if (i < fileCount) {
            const WaveReadStatus s = reader.nextValue(v);
            if (s == WaveReadStatus::OutOfRange)
                return WaveReadStatus::FormatError;
            if (s != WaveReadStatus::Ok)
                return s;
        }
        float &p = store.ArbData[static_cast<std::size_t>(i)];
        p = op == WaveCombine::Add ? (p + v) / 2.0f : (p - v) / 2.0f;
    }
    return WaveReadStatus::Ok;
}

} // namespace arb
