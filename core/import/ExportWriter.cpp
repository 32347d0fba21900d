#include "core/import/ExportWriter.h"

#include "core/ArbStore.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace arb
{

namespace
{

void Append(QByteArray &out, const char *first, const char *last)
{
    out.append(first, static_cast<qsizetype>(last - first));
}

} // namespace

const char *CsvLineEnd()
{
#ifdef Q_OS_WIN
    return "\r\n";
#else
    return "\n";
#endif
}

int ExportCode(float value)
{
    const double v = std::clamp(static_cast<double>(value), -1.0, 1.0);
    return RoundHalfEven(v * 32767.0);
}

QByteArray CsvExportBytes(const ArbStore &store)
{
    const int last = store.LastIndex();
    const char *end = CsvLineEnd();
    const std::size_t endSize = std::strlen(end);
    QByteArray out;
    out.reserve((last + 1) * 12);
    char text[64];
    for (int i = 0; i <= last; ++i) {
        // "%.6f" without the locale: a point, six decimals.
        const auto r = std::to_chars(text, text + sizeof text - 2, store.ArbData[static_cast<std::size_t>(i)],
                                     std::chars_format::fixed, 6);
        char *p = r.ptr;
        std::memcpy(p, end, endSize);
        Append(out, text, p + endSize);
    }
    return out;
}

QByteArray HeaderExportBytes(const ArbStore &store)
{
    const int count = store.LastIndex() + 1;
    QByteArray out;
    out.reserve(200 + count * 8);
    // The record plays once a second at this rate.
    out += "File Format:1.10\r\nChannel Count:1\r\nSample Rate:" + QByteArray::number(count) +
           "\r\nHigh Level:1\r\nLow Level:-1\r\nData Type:\"short\"\r\nFilter:\"OFF\"\r\nData Points:" +
           QByteArray::number(count) + "\r\nData:\r\n";
    char text[16];
    for (int i = 0; i < count; ++i) {
        const auto r = std::to_chars(text, text + sizeof text - 2,
                                     ExportCode(store.ArbData[static_cast<std::size_t>(i)]));
        char *p = r.ptr;
        *p++ = '\r';
        *p++ = '\n';
        Append(out, text, p);
    }
    return out;
}

QByteArray ExportBytes(const ArbStore &store, ExportForm form)
{
    return form == ExportForm::Csv ? CsvExportBytes(store) : HeaderExportBytes(store);
}

} // namespace arb
