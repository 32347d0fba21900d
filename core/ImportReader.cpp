#include "core/ImportReader.h"

#include "core/ImportHeader.h"
#include "core/ImportNumber.h"
#include "core/ImportOwnForm.h"

#include <QBuffer>
#include <QByteArray>
#include <QIODevice>
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace arb
{

namespace
{

// Files up to this size are first tried as the editor's own forms; a file of
// 16384 values in one of them stays well below it.
constexpr qint64 kOwnFormProbeBytes = 1 << 20;
// Header lines kept for the dialog; a header longer than this is read but
// not kept.
constexpr std::size_t kMaxHeaderFields = 256;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

// The rows and columns of a table or header form, parsed block by block: the
// header and name lines one at a time, the value lines in a tight loop that
// converts the numbers where they lie, with no copy and no allocation per
// line.
class TableParser
{
  public:
    TableParser(const ImportReadOptions &options, std::int64_t total) : o_(options), total_(total) {}

    ImportReadResult run(QIODevice &device);

  private:
    bool fail(ImportError error, std::int64_t line)
    {
        r_.error = error;
        r_.line = line;
        return false;
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
    bool lineFault(ImportError error, const char *lineStart, const char *last);
    void skipBlanks(const char *&p) const
    {
        while (*p == ' ' || (*p == '\t' && sep_ != '\t'))
            ++p;
    }
    bool finish();

    const ImportReadOptions &o_;
    std::int64_t total_ = 0;
    ImportReadResult r_;
    std::int64_t lineNo_ = 0;
    bool pendingCr_ = false;
    bool anyText_ = false;
    bool inData_ = false;
    bool afterDataLine_ = false;
    bool sawHeader_ = false;
    std::string names_; // the last text line before the values: the row of names
    char columnChar_ = 0;
    long long channels_ = 0;
    long long headerPoints_ = -1;
    char sep_ = 0; // ' ' for blanks
    bool decimalComma_ = false;
    int ncols_ = 0;
    std::int64_t rows_ = 0;
    std::vector<std::vector<float>> *cols_ = nullptr;
};

const char *FindLineEnd(const char *p)
{
    while (!IsLineEnd(*p))
        ++p;
    return p;
}

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
                return fail(ImportError::LineTooLong, lineNo_);
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
    else if (s.find(',') != std::string_view::npos)
        sep_ = ',';
    else if (s.find(' ') != std::string_view::npos)
        sep_ = ' ';
    decimalComma_ = sep_ == ';';
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
    for (auto &c : *cols_)
        c.reserve(static_cast<std::size_t>(std::max<std::int64_t>(rowsGuess, 0)));
    inData_ = true;
    return true;
}

bool TableParser::lineFault(ImportError error, const char *lineStart, const char *last)
{
    const char *end = lineStart;
    while (end < last && !IsLineEnd(*end))
        ++end;
    if (static_cast<std::size_t>(end - lineStart) > o_.maxLineBytes)
        error = ImportError::LineTooLong;
    return fail(error, lineNo_);
}

const char *TableParser::valueLine(const char *p, const char *last)
{
    const char *start = p;
    skipBlanks(p);
    if (IsLineEnd(*p))
        return afterLineEnd(p, last);
    if (*p == '#' || *p == ';')
        return afterLineEnd(FindLineEnd(p), last);
    for (int c = 0; c < ncols_; ++c) {
        float v = 0.0f;
        const NumberScan scan = ScanNumber(p, last, v, decimalComma_);
        if (scan != NumberScan::Ok) {
            const ImportError e = scan == NumberScan::NotFinite      ? ImportError::NotFinite
                                  : scan == NumberScan::BeyondSingle ? ImportError::BeyondSingle
                                  : IsLineEnd(*p) || *p == sep_      ? ImportError::ColumnCount
                                                                     : ImportError::NotANumber;
            r_.expected = ncols_;
            lineFault(e, start, last);
            return nullptr;
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
        if (!separated) {
            r_.expected = ncols_;
            lineFault(IsLineEnd(*p) ? ImportError::ColumnCount : ImportError::NotANumber, start, last);
            return nullptr;
        }
    }
    if (sep_ != ' ' && sep_ != 0 && *p == sep_) {
        // One separator may end a line.
        ++p;
        skipBlanks(p);
    }
    if (!IsLineEnd(*p)) {
        r_.expected = ncols_;
        const char c = *p;
        const bool moreColumns =
            (sep_ != 0 && c == sep_) || (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.';
        lineFault(moreColumns ? ImportError::ColumnCount : ImportError::NotANumber, start, last);
        return nullptr;
    }
    ++rows_;
    if (rows_ * ncols_ > o_.maxValues) {
        fail(ImportError::TooManyValues, lineNo_);
        return nullptr;
    }
    return afterLineEnd(p, last);
}

bool TableParser::finish()
{
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

ImportReadResult TableParser::run(QIODevice &device)
{
    const std::size_t block = std::max<std::size_t>(o_.blockBytes, 16);
    // Room for a carried line, a block, and the line end put after a last
    // line that has none.
    std::vector<char> buf(block + o_.maxLineBytes + 2);
    std::size_t carry = 0;
    std::int64_t done = 0;
    if (device.peek(static_cast<qint64>(kUtf8Bom.size())) == QByteArray(kUtf8Bom.data(), kUtf8Bom.size()))
        device.skip(static_cast<qint64>(kUtf8Bom.size()));
    for (;;) {
        const qint64 n = device.read(buf.data() + carry, static_cast<qint64>(block));
        if (n < 0) {
            fail(ImportError::ReadFailed, 0);
            return std::move(r_);
        }
        std::size_t size = carry + static_cast<std::size_t>(n);
        if (n == 0) {
            if (carry == 0)
                break;
            buf[size++] = '\n';
        } else {
            if (std::memchr(buf.data() + carry, '\0', static_cast<std::size_t>(n))) {
                fail(ImportError::Binary, 0);
                return std::move(r_);
            }
        }
        std::size_t lastEnd = size;
        for (std::size_t i = size; i > 0; --i)
            if (IsLineEnd(buf[i - 1])) {
                lastEnd = i - 1;
                break;
            }
        if (lastEnd == size) {
            carry = size;
            if (carry > o_.maxLineBytes) {
                fail(ImportError::LineTooLong, lineNo_ + 1);
                return std::move(r_);
            }
            continue;
        }
        if (!processLines(buf.data(), buf.data() + lastEnd))
            return std::move(r_);
        carry = size - lastEnd - 1;
        std::memmove(buf.data(), buf.data() + lastEnd + 1, carry);
        if (carry > o_.maxLineBytes) {
            fail(ImportError::LineTooLong, lineNo_ + 1);
            return std::move(r_);
        }
        if (n == 0)
            break;
        done += n;
        if (o_.progress && !o_.progress(done, total_)) {
            fail(ImportError::Cancelled, 0);
            return std::move(r_);
        }
    }
    finish();
    return std::move(r_);
}

} // namespace

ImportReadResult ReadImport(QIODevice &device, const ImportReadOptions &options)
{
    const qint64 size = device.isSequential() ? 0 : device.size() - device.pos();
    if (!device.isSequential() && size <= kOwnFormProbeBytes) {
        QByteArray bytes = device.read(size);
        if (bytes.size() != size) {
            ImportReadResult r;
            r.error = ImportError::ReadFailed;
            return r;
        }
        if (std::optional<ImportTable> own =
                ReadOwnForm(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
            ImportReadResult r;
            r.table = std::move(*own);
            return r;
        }
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        return TableParser(options, size).run(buffer);
    }
    return TableParser(options, size).run(device);
}

} // namespace arb
