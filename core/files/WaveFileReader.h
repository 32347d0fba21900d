#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QIODevice;

namespace arb
{

struct ArbStore;

// The three forms the reader accepts, told apart by their first line.
enum class WaveFileForm {
    Plain,     // line 1 the count, then the values
    Maker20,   // "Copyright: Korvane Technologies", "File Format:2.0", count, name
    Agilent10, // "Copyright: Agilent Technologies", "File Format:1.0", codes of 32768 per unit
};

struct WaveFileHeader {
    WaveFileForm form = WaveFileForm::Plain;
    float count = 0.0f; // the count as written, in single precision
    std::string name;   // 2.0 form only: the rest of the "Arb Name:" line, as it stands
};

enum class LineRead { Line, End, Error };

// The lines of a text file, without their ends. Lines end with CR LF or with
// LF alone; a last line without an end is a line too.
class WaveLineSource
{
  public:
    virtual ~WaveLineSource() = default;
    // Line: line holds the next line. End: there are no more lines.
    // Error: the file could not be read.
    virtual LineRead readLine(std::string &line) = 0;
};

// Lines of a text held in memory.
class TextLineSource final : public WaveLineSource
{
  public:
    explicit TextLineSource(std::string_view text) : text_(text) {}
    LineRead readLine(std::string &line) override;

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// Lines of an open device such as a QFile, read in blocks of blockBytes. A
// line longer than kMaxLineBytes keeps only its first kMaxLineBytes bytes
// (no line of a waveform file comes near that), so a wrong file cannot fill
// the memory.
class DeviceLineSource final : public WaveLineSource
{
  public:
    static constexpr std::size_t kMaxLineBytes = 1 << 20;
    explicit DeviceLineSource(QIODevice &device, std::size_t blockBytes = 64 * 1024);
    LineRead readLine(std::string &line) override;

  private:
    bool fill();

    QIODevice &device_;
    std::vector<char> block_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool failed_ = false;
};

enum class WaveReadStatus {
    Ok,
    FormatError, // a header check failed, or a value line is not a finite number
    OutOfRange,  // a value line is a finite number outside -1..+1
    EndOfFile,
    ReadError,
};

// Reads a waveform file: first the header, which tells the form, the count
// and (2.0 form) the name, then the values one by one on the -1..+1 scale.
class WaveFileReader
{
  public:
    explicit WaveFileReader(WaveLineSource &lines) : lines_(lines) {}

    // Ok fills header. FormatError when the lines are none of the forms;
    // EndOfFile or ReadError when the file ends or fails within the header.
    WaveReadStatus readHeader(WaveFileHeader &header);

    // The next value line. Ok: value in -1..+1. OutOfRange: value holds the
    // point, finite but outside -1..+1. FormatError: not a number, or not
    // finite in single precision; value is left alone.
    WaveReadStatus nextValue(float &value);

  private:
    WaveReadStatus nextLine();

    WaveLineSource &lines_;
    std::string line_;
    WaveFileForm form_ = WaveFileForm::Plain;
    bool first_ = true;
};

// The open command takes a count only in 4..16384, the range of ArbLength.
bool IsOpenableCount(float count);

// The add and subtract commands take round(count) points from the file; a
// count that would carry the length beyond 16384 gives no value.
std::optional<int> CombinableCount(float count);

// Reads count values into ArbData[0..count-1], stopping at the first line
// that fails. A number outside -1..+1 is stored before the FormatError is
// returned; a line that is not a finite number stores nothing. Counts
// beyond the buffer read only as far as it goes.
WaveReadStatus ReadPoints(WaveFileReader &reader, ArbStore &store, int count);

enum class WaveCombine { Add, Subtract };

// For i = 0..last: ArbData[i] = (ArbData[i] + v) / 2 (Add) or
// (ArbData[i] - v) / 2 (Subtract) in single precision, where v is the file's
// next value while i < fileCount and 0 beyond. Stops at the first line that
// fails, storing nothing for it (OutOfRange is reported as FormatError).
WaveReadStatus CombinePoints(WaveFileReader &reader, ArbStore &store, int fileCount, int last,
                             WaveCombine op);

} // namespace arb
