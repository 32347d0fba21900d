#include "core/import/ImportTableReader.h"

#include "core/import/ImportHeader.h"
#include "core/import/ImportNumber.h"
#include "core/import/ImportSource.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace arb
{

namespace
{

// Header lines kept for the dialog; a header longer than this is read but
// not kept.
constexpr std::size_t kMaxHeaderFields = 256;

bool IsLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Asks the system to back a large column with large pages (2 MiB on
// x86-64) where it can: a column of millions of values then fills with a
// few dozen page faults instead of one per 4 KiB, which took about a fifth
// of a large import's time. Only advice; nothing changes where the system
// does not take it.
void PreferLargePages(void *data, std::size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kLarge = std::uintptr_t{2} << 20;
    const auto at = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t begin = (at + kLarge - 1) & ~(kLarge - 1);
    const std::uintptr_t end = (at + bytes) & ~(kLarge - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

const char *FindLineEnd(const char *p)
{
    while (!IsLineEnd(*p))
        ++p;
    return p;
}

// The rows and columns of a table or header form, parsed block by block: the
// header and name lines one at a time, the value lines in a tight loop that
// converts the numbers where they lie, with no copy and no allocation per
// line.
//
// Value lines that are all bare integers or two digit runs joined by one
// comma ("0,25", "-1") leave the comma in doubt: a decimal mark or a column
// separator. The parser reads them with the comma as a separator (or as a
// decimal mark, when told), notes whether the doubt held to the end, and
// goes on to the end past a fault of its own reading while it holds.
class TableParser
{
  public:
    TableParser(const ImportReadOptions &options, std::int64_t total, bool commaIsDecimal)
        : o_(options), total_(total), commaIsDecimal_(commaIsDecimal)
    {
    }

    ImportReadResult run(ImportSource &source);

    // After run: the comma was in doubt on every value line to the end.
    bool decimalMarkInDoubt() const { return readToEnd_ && commaCandidate_ && sawCommaPair_; }
    // ... and the part before the comma (a bare integer itself) lay within
    // -1..1 on every line: the values of a waveform, not an index.
    bool integerPartsWithinOne() const { return integerPartsWithinOne_; }

  private:
    bool fail(ImportError error, std::int64_t line)
    {
        r_.error = error;
        r_.line = line;
        return false;
    }
    // A fault of the source as a whole, in place of any found before.
    void failWhole(ImportError error)
    {
        r_.expected = 0;
        r_.found = 0;
        fail(error, 0);
    }
    // A line beyond the longest allowed, in place of any fault before.
    bool failTooLong(std::int64_t line)
    {
        r_.expected = 0;
        r_.found = 0;
        return fail(ImportError::LineTooLong, line);
    }
    // Lines from p up to and including the line end at last.
    bool processLines(const char *p, const char *last);
    // After the line end at t: the start of the next line.
    const char *afterLineEnd(const char *t, const char *last);
    bool preambleLine(std::string_view line);
    bool startData(std::string_view line);
    // One line of values from p; returns where the next line starts, or
    // nullptr when the line is at fault.
    const char *valueLine(const char *p, const char *last);
    // A line, from start to its end at end, that holds no values.
    const char *otherLine(const char *start, const char *end, const char *last);
    // A fault of this reading in the line from lineStart: the reading stops,
    // unless the comma is still in doubt.
    const char *valueFault(ImportError error, const char *lineStart, const char *last);
    bool lineFault(ImportError error, const char *lineStart, const char *last);
    bool followsCommaPattern(const char *p, const char *end);
    bool tooLong(const char *start, const char *end) const
    {
        return static_cast<std::size_t>(end - start) > o_.maxLineBytes;
    }
    void skipBlanks(const char *&p) const
    {
        while (*p == ' ' || (*p == '\t' && sep_ != '\t'))
            ++p;
    }
    bool finish();
    // After a fault: the rest of the source is read for NUL bytes, which
    // make it a binary file whatever else is wrong with it.
    void binaryRest(ImportSource &source, char *buf, std::size_t size);

    const ImportReadOptions &o_;
    std::int64_t total_ = 0;
    const bool commaIsDecimal_;
    ImportReadResult r_;
    std::int64_t lineNo_ = 0;
    bool pendingCr_ = false;
    bool anyText_ = false;
    bool inData_ = false;
    bool afterDataLine_ = false;
    bool sawHeader_ = false;
    bool readToEnd_ = false;
    std::string names_; // the last text line before the values: the row of names
    char columnChar_ = 0;
    long long channels_ = 0;
    long long headerPoints_ = -1;
    char sep_ = 0; // ' ' for blanks
    bool decimalComma_ = false;
    bool commaCandidate_ = false;
    bool sawCommaPair_ = false;
    bool integerPartsWithinOne_ = true;
    bool ownFault_ = false; // this reading has failed; only the doubt is followed
    int ncols_ = 0;
    std::int64_t rows_ = 0;
    std::vector<std::vector<float>> *cols_ = nullptr;
};

const char *TableParser::afterLineEnd(const char *t, const char *last)
{
    if (*t == '\r') {
        if (t == last) {
            pendingCr_ = true;
            return t + 1;
        }
        if (t[1] == '\n')
            return t + 2;
    }
    return t + 1;
}

bool TableParser::processLines(const char *p, const char *last)
{
    while (p <= last) {
        if (pendingCr_) {
            pendingCr_ = false;
            if (*p == '\n') {
                ++p;
                continue;
            }
        }
        ++lineNo_;
        if (!inData_) {
            const char *t = FindLineEnd(p);
            const std::string_view line(p, static_cast<std::size_t>(t - p));
            if (line.size() > o_.maxLineBytes)
                return failTooLong(lineNo_);
            if (!preambleLine(line))
                return false;
            if (!inData_) {
                p = afterLineEnd(t, last);
                continue;
            }
            // The line is the first of the values.
        }
        p = valueLine(p, last);
        if (!p)
            return false;
    }
    return true;
}

bool TableParser::preambleLine(std::string_view line)
{
    const std::string_view s = TrimBlanks(line);
    if (s.empty())
        return true;
    anyText_ = true;
    if (s.front() == ';')
        return true;
    if (!afterDataLine_) {
        if (auto field = ParseHeaderLine(s)) {
            const std::string key = HeaderKey(field->key);
            sawHeader_ = true;
            names_.clear();
            if (key == "data") {
                afterDataLine_ = true;
                return true;
            }
            if (key == "datapoints")
                headerPoints_ = HeaderWholeNumber(field->value).value_or(headerPoints_);
            else if (key == "datatype")
                r_.table.shortCodes = HeaderKey(field->value) == "short";
            else if (key == "channelcount")
                channels_ = HeaderWholeNumber(field->value).value_or(channels_);
            else if (key == "columnchar")
                columnChar_ = ColumnCharOf(field->value);
            if (r_.table.fields.size() < kMaxHeaderFields)
                r_.table.fields.push_back(std::move(*field));
            return true;
        }
    }
    if (s.front() == '#')
        return true;
    const char *p = s.data();
    float v = 0.0f;
    const NumberScan scan = ScanNumber(p, s.data() + s.size(), v);
    const bool startsWithNumber = scan != NumberScan::NotANumber && (p == s.data() + s.size() || *p == ' ' ||
                                                                     *p == '\t' || *p == ',' || *p == ';');
    if (startsWithNumber)
        return startData(s);
    if (afterDataLine_)
        return fail(ImportError::NotANumber, lineNo_);
    // Text before the values: the last such line is the row of names.
    if (s.size() <= 4096)
        names_.assign(s);
    return true;
}

std::vector<std::string> SplitFields(std::string_view s, char sep)
{
    std::vector<std::string> out;
    if (sep == ' ') {
        std::size_t i = 0;
        while (i < s.size()) {
            while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
                ++i;
            const std::size_t j = s.find_first_of(" \t", i);
            const std::size_t stop = j == std::string_view::npos ? s.size() : j;
            if (stop > i)
                out.emplace_back(s.substr(i, stop - i));
            i = stop;
        }
        return out;
    }
    if (sep == 0) {
        out.emplace_back(TrimBlanks(s));
        return out;
    }
    std::size_t i = 0;
    for (;;) {
        const std::size_t j = s.find(sep, i);
        out.emplace_back(StripQuotes(TrimBlanks(s.substr(i, j == std::string_view::npos ? j : j - i))));
        if (j == std::string_view::npos)
            break;
        i = j + 1;
    }
    // A separator at the end of a line starts no column.
    if (out.size() > 1 && out.back().empty())
        out.pop_back();
    return out;
}

bool TableParser::startData(std::string_view s)
{
    if (columnChar_)
        sep_ = columnChar_;
    else if (s.find('\t') != std::string_view::npos)
        sep_ = '\t';
    else if (s.find(';') != std::string_view::npos)
        sep_ = ';';
    else if (!commaIsDecimal_ && s.find(',') != std::string_view::npos)
        sep_ = ',';
    else if (s.find(' ') != std::string_view::npos)
        sep_ = ' ';
    decimalComma_ = sep_ == ';' || (commaIsDecimal_ && sep_ != ',');
    // Only a table that says nothing of its columns can leave the comma in doubt.
    commaCandidate_ = !commaIsDecimal_ && columnChar_ == 0 && channels_ <= 0 && (sep_ == ',' || sep_ == 0);
    const std::size_t count = SplitFields(s, sep_).size();
    if (count > static_cast<std::size_t>(kImportMaxColumns))
        return fail(ImportError::TooManyColumns, lineNo_);
    ncols_ = static_cast<int>(count);
    if (channels_ > 0 && channels_ != ncols_) {
        r_.expected = channels_;
        return fail(ImportError::ColumnCount, lineNo_);
    }
    if (!names_.empty()) {
        std::vector<std::string> names = SplitFields(names_, sep_);
        names.resize(static_cast<std::size_t>(ncols_));
        r_.table.columnNames = std::move(names);
    }
    r_.table.columns.assign(static_cast<std::size_t>(ncols_), {});
    cols_ = &r_.table.columns;
    // Room for the rows the file's size suggests, so the columns seldom grow.
    const std::int64_t lineBytes = static_cast<std::int64_t>(s.size()) + 1;
    const std::int64_t rowsGuess = std::min<std::int64_t>(total_ / lineBytes + 16, o_.maxValues / ncols_ + 1);
    for (auto &c : *cols_) {
        c.reserve(static_cast<std::size_t>(std::max<std::int64_t>(rowsGuess, 0)));
        PreferLargePages(c.data(), c.capacity() * sizeof(float));
    }
    inData_ = true;
    return true;
}

bool TableParser::lineFault(ImportError error, const char *lineStart, const char *last)
{
    const char *end = lineStart;
    while (end < last && !IsLineEnd(*end))
        ++end;
    // As when the line was found too long before it ended.
    if (tooLong(lineStart, end))
        return failTooLong(lineNo_);
    return fail(error, lineNo_);
}

const char *TableParser::valueFault(ImportError error, const char *lineStart, const char *last)
{
    if (error != ImportError::TooManyValues)
        r_.expected = ncols_;
    lineFault(error, lineStart, last);
    if (!commaCandidate_ || r_.error == ImportError::LineTooLong)
        return nullptr;
    // The other reading of the comma may still hold: it is followed to the end.
    ownFault_ = true;
    return afterLineEnd(FindLineEnd(lineStart), last);
}

const char *TableParser::otherLine(const char *start, const char *end, const char *last)
{
    if (tooLong(start, end)) {
        failTooLong(lineNo_);
        return nullptr;
    }
    return afterLineEnd(end, last);
}

bool TableParser::followsCommaPattern(const char *p, const char *end)
{
    if (*p == '-' || *p == '+')
        ++p;
    const char *digits = p;
    while (p < end && IsDigit(*p))
        ++p;
    const char *integerEnd = p;
    if (p == digits)
        return false;
    if (p < end && *p == ',') {
        const char *fraction = ++p;
        while (p < end && IsDigit(*p))
            ++p;
        if (p == fraction)
            return false;
        sawCommaPair_ = true;
    }
    while (p < end && (*p == ' ' || *p == '\t'))
        ++p;
    if (p != end)
        return false;
    // Within -1..1: nothing but zeros, or zeros and a last 1.
    while (digits < integerEnd && *digits == '0')
        ++digits;
    if (integerEnd - digits > 1 || (integerEnd - digits == 1 && *digits != '1'))
        integerPartsWithinOne_ = false;
    return true;
}

const char *TableParser::valueLine(const char *p, const char *last)
{
    const char *start = p;
    skipBlanks(p);
    if (IsLineEnd(*p) || *p == '#' || *p == ';')
        return otherLine(start, FindLineEnd(p), last);
    if (commaCandidate_) {
        const char *end = FindLineEnd(p);
        if (tooLong(start, end)) {
            failTooLong(lineNo_);
            return nullptr;
        }
        if (!followsCommaPattern(p, end)) {
            commaCandidate_ = false;
            if (ownFault_)
                return nullptr;
        } else if (ownFault_) {
            return afterLineEnd(end, last);
        }
    }
    for (int c = 0; c < ncols_; ++c) {
        float v = 0.0f;
        const NumberScan scan = ScanNumber(p, last, v, decimalComma_);
        if (scan != NumberScan::Ok) {
            const ImportError e = scan == NumberScan::NotFinite      ? ImportError::NotFinite
                                  : scan == NumberScan::BeyondSingle ? ImportError::BeyondSingle
                                  : IsLineEnd(*p) || *p == sep_      ? ImportError::ColumnCount
                                                                     : ImportError::NotANumber;
            return valueFault(e, start, last);
        }
        (*cols_)[static_cast<std::size_t>(c)].push_back(v);
        const char *afterNumber = p;
        skipBlanks(p);
        if (c + 1 == ncols_)
            break;
        bool separated = false;
        if (sep_ == ' ')
            separated = p != afterNumber && !IsLineEnd(*p);
        else if (*p == sep_) {
            ++p;
            skipBlanks(p);
            separated = true;
        }
        if (!separated)
            return valueFault(IsLineEnd(*p) ? ImportError::ColumnCount : ImportError::NotANumber, start,
                              last);
    }
    if (sep_ != ' ' && sep_ != 0 && *p == sep_) {
        // One separator may end a line.
        ++p;
        skipBlanks(p);
    }
    if (!IsLineEnd(*p)) {
        const char c = *p;
        const bool moreColumns =
            (sep_ != 0 && c == sep_) || (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.';
        return valueFault(moreColumns ? ImportError::ColumnCount : ImportError::NotANumber, start, last);
    }
    if (tooLong(start, p)) {
        failTooLong(lineNo_);
        return nullptr;
    }
    ++rows_;
    if (rows_ * ncols_ > o_.maxValues)
        return valueFault(ImportError::TooManyValues, start, last);
    return afterLineEnd(p, last);
}

bool TableParser::finish()
{
    readToEnd_ = true;
    if (ownFault_)
        return false;
    if (!inData_) {
        if (!anyText_)
            return fail(ImportError::Empty, 0);
        return fail(ImportError::NoNumbers, 0);
    }
    if (rows_ < kImportMinValues) {
        r_.found = rows_;
        return fail(ImportError::TooFewValues, 0);
    }
    if (headerPoints_ > rows_) {
        r_.expected = headerPoints_;
        r_.found = rows_;
        return fail(ImportError::FewerThanHeader, 0);
    }
    r_.table.form = sawHeader_ ? ImportForm::HeaderForm : ImportForm::Table;
    for (auto &c : r_.table.columns)
        if (c.capacity() > c.size() + c.size() / 2 + 1024)
            c.shrink_to_fit();
    return true;
}

void TableParser::binaryRest(ImportSource &source, char *buf, std::size_t size)
{
    for (;;) {
        const std::int64_t n = source.read(buf, size);
        if (n < 0) {
            failWhole(source.error());
            return;
        }
        if (n == 0)
            return;
        if (std::memchr(buf, '\0', static_cast<std::size_t>(n))) {
            failWhole(ImportError::Binary);
            return;
        }
    }
}

ImportReadResult TableParser::run(ImportSource &source)
{
    const std::size_t block = std::max<std::size_t>(o_.blockBytes, 16);
    // Room for a carried line, a block, and the line end put after a last
    // line that has none.
    // Not cleared first: every byte is read into before it is looked at.
    const std::size_t bufSize = block + o_.maxLineBytes + 2;
    const std::unique_ptr<char[]> bytes(new char[bufSize]);
    char *const buf = bytes.get();
    std::size_t carry = 0;
    bool sound = true;
    for (;;) {
        const std::int64_t n = source.read(buf + carry, block);
        if (n < 0) {
            failWhole(source.error());
            break;
        }
        std::size_t size = carry + static_cast<std::size_t>(n);
        if (n == 0) {
            if (carry == 0) {
                sound = finish();
                break;
            }
            buf[size++] = '\n';
        } else if (std::memchr(buf + carry, '\0', static_cast<std::size_t>(n))) {
            failWhole(ImportError::Binary);
            break;
        }
        std::size_t lastEnd = size;
        for (std::size_t i = size; i > 0; --i)
            if (IsLineEnd(buf[i - 1])) {
                lastEnd = i - 1;
                break;
            }
        if (lastEnd != size) {
            if (!processLines(buf, buf + lastEnd)) {
                sound = false;
                break;
            }
            carry = size - lastEnd - 1;
            std::memmove(buf, buf + lastEnd + 1, carry);
        } else {
            carry = size;
        }
        if (carry > o_.maxLineBytes) {
            sound = failTooLong(lineNo_ + 1);
            break;
        }
        if (n == 0) {
            sound = finish();
            break;
        }
    }
    if (!sound && r_.error != ImportError::Cancelled && r_.error != ImportError::ReadFailed &&
        r_.error != ImportError::Binary)
        binaryRest(source, buf, bufSize);
    if (r_.error != ImportError::None)
        r_.table = ImportTable();
    return std::move(r_);
}

} // namespace

TableReading ReadImportTable(ImportSource &source, const ImportReadOptions &options, bool commaIsDecimal)
{
    TableParser parser(options, source.textBytesGuess(), commaIsDecimal);
    TableReading reading;
    reading.result = parser.run(source);
    reading.decimalMarkInDoubt = parser.decimalMarkInDoubt();
    reading.integerPartsWithinOne = parser.integerPartsWithinOne();
    return reading;
}

} // namespace arb
