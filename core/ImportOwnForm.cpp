#include "core/ImportOwnForm.h"

#include "core/ArbStore.h"
#include "core/ImportHeader.h"
#include "core/WaveFileReader.h"
#include "core/WaveNumber.h"

#include <cmath>
#include <memory>
#include <string>

namespace arb
{

namespace
{

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string NormalisedText(std::string_view bytes)
{
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        bytes.remove_prefix(kUtf8Bom.size());
    std::string text(bytes);
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            text[i] = '\n';
    return text;
}

bool RestIsBlank(WaveLineSource &lines)
{
    std::string line;
    while (lines.readLine(line) == LineRead::Line)
        if (!TrimBlanks(line).empty())
            return false;
    return true;
}

ImportForm FormOf(WaveFileForm form)
{
    switch (form) {
    case WaveFileForm::Maker20: return ImportForm::Maker20;
    case WaveFileForm::Agilent10: return ImportForm::Agilent10;
    case WaveFileForm::Plain: break;
    }
    return ImportForm::Plain;
}

} // namespace

std::optional<ImportTable> ReadOwnForm(std::string_view bytes)
{
    const std::string text = NormalisedText(bytes);
    TextLineSource lines(text);
    WaveFileReader reader(lines);
    WaveFileHeader header;
    if (reader.readHeader(header) != WaveReadStatus::Ok || !IsOpenableCount(header.count))
        return std::nullopt;
    if (header.form == WaveFileForm::Plain && std::nearbyint(header.count) != header.count)
        return std::nullopt;
    const int count = RoundHalfEven(static_cast<double>(header.count));
    auto store = std::make_unique<ArbStore>();
    if (ReadPoints(reader, *store, count) != WaveReadStatus::Ok)
        return std::nullopt;
    if (header.form == WaveFileForm::Plain && !RestIsBlank(lines))
        return std::nullopt;

    ImportTable table;
    table.form = FormOf(header.form);
    table.columns.emplace_back(store->ArbData.begin(), store->ArbData.begin() + count);
    table.fields.push_back({"Data Points", FormatWaveCount(header.count)});
    if (header.form == WaveFileForm::Maker20) {
        table.name = header.name;
        table.fields.push_back({"Arb Name", header.name});
    }
    return table;
}

} // namespace arb
