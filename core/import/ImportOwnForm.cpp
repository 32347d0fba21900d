#include "core/import/ImportOwnForm.h"

#include "core/ArbStore.h"
#include "core/files/WaveFileReader.h"
#include "core/files/WaveNumber.h"
#include "core/import/ImportHeader.h"
#include "core/import/ImportSource.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace arb
{

namespace
{

// The own forms' values lie within a few lines; the source is read in
// blocks no larger than this to find them.
constexpr std::size_t kProbeBlock = 64 * 1024;

// The lines of a source, ended by LF, CR LF or a lone CR. A NUL byte or a
// line beyond the longest allowed makes the lines unfit for the own forms:
// the reading stops there with an Error.
class SourceLines final : public WaveLineSource
{
  public:
    SourceLines(ImportSource &source, std::size_t block, std::size_t maxLine)
        : source_(source), block_(std::clamp<std::size_t>(block, 1, kProbeBlock)), maxLine_(maxLine)
    {
    }

    LineRead readLine(std::string &line) override
    {
        line.clear();
        if (stopped_)
            return LineRead::Error;
        bool started = false;
        for (;;) {
            if (begin_ == end_ && !fill())
                return stopped_ ? LineRead::Error : started ? LineRead::Line : LineRead::End;
            if (pendingCr_) {
                pendingCr_ = false;
                if (block_[begin_] == '\n') {
                    ++begin_;
                    continue;
                }
            }
            started = true;
            const char *from = block_.data() + begin_;
            const std::size_t available = end_ - begin_;
            std::size_t i = 0;
            while (i < available && from[i] != '\n' && from[i] != '\r')
                ++i;
            if (line.size() + i > maxLine_)
                return stop();
            line.append(from, i);
            begin_ += i;
            if (i < available) {
                const char end = from[i];
                ++begin_;
                if (end == '\r') {
                    if (begin_ < end_)
                        begin_ += block_[begin_] == '\n' ? 1 : 0;
                    else
                        pendingCr_ = true;
                }
                return LineRead::Line;
            }
        }
    }

  private:
    LineRead stop()
    {
        stopped_ = true;
        return LineRead::Error;
    }

    bool fill()
    {
        const std::int64_t n = source_.read(block_.data(), block_.size());
        if (n <= 0) {
            stopped_ = n < 0;
            return false;
        }
        begin_ = 0;
        end_ = static_cast<std::size_t>(n);
        if (std::memchr(block_.data(), '\0', end_)) {
            stopped_ = true;
            return false;
        }
        return true;
    }

    ImportSource &source_;
    std::vector<char> block_;
    std::size_t maxLine_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool pendingCr_ = false;
    bool stopped_ = false;
};

ImportForm FormOf(WaveFileForm form)
{
    switch (form) {
    case WaveFileForm::Maker20: return ImportForm::Maker20;
    case WaveFileForm::Agilent10: return ImportForm::Agilent10;
    case WaveFileForm::Plain: break;
    }
    return ImportForm::Plain;
}

// The rest of the source after the values: blank lines only for the plain
// form, anything for the others ("打开" reads no further), and every line
// fit.
bool RestFits(WaveLineSource &lines, bool blankOnly)
{
    std::string line;
    LineRead r;
    while ((r = lines.readLine(line)) == LineRead::Line)
        if (blankOnly && !TrimBlanks(line).empty())
            return false;
    return r == LineRead::End;
}

} // namespace

OwnFormProbe ProbeOwnForm(ImportSource &source, const ImportReadOptions &options)
{
    OwnFormProbe probe;
    const auto none = [&source, &probe] {
        if (source.error() != ImportError::None) {
            probe.outcome = OwnFormProbe::Outcome::Failed;
            probe.error = source.error();
        }
        return std::move(probe);
    };
    SourceLines lines(source, options.blockBytes, options.maxLineBytes);
    WaveFileReader reader(lines);
    WaveFileHeader header;
    if (reader.readHeader(header) != WaveReadStatus::Ok || !IsOpenableCount(header.count))
        return none();
    const bool plain = header.form == WaveFileForm::Plain;
    if (plain && std::nearbyint(header.count) != header.count)
        return none();
    const int count = RoundHalfEven(static_cast<double>(header.count));
    auto store = std::make_unique<ArbStore>();
    if (ReadPoints(reader, *store, count) != WaveReadStatus::Ok || !RestFits(lines, plain))
        return none();

    ImportTable &table = probe.table;
    table.form = FormOf(header.form);
    table.columns.emplace_back(store->ArbData.begin(), store->ArbData.begin() + count);
    table.fields.push_back({"Data Points", FormatWaveCount(header.count)});
    if (header.form == WaveFileForm::Maker20) {
        table.name = header.name;
        table.fields.push_back({"Arb Name", header.name});
    }
    probe.outcome = OwnFormProbe::Outcome::Own;
    return probe;
}

} // namespace arb
