#include "core/files/WaveFileWriter.h"

#include "core/ArbStore.h"
#include "core/FormatValue.h"

#include <cmath>

namespace arb
{

namespace
{
constexpr std::string_view kLineEnd = "\r\n";
}

void ScaleToFullScale(ArbStore &store)
{
    store.ChooseFullScale();
    if (store.ArbScale == 1.0)
        return;
    const int last = store.LastIndex();
    for (int i = 0; i <= last; ++i) {
        float &p = store.ArbData[static_cast<std::size_t>(i)];
        p = static_cast<float>(static_cast<double>(p) * store.ArbScale);
    }
}

std::string SavedWaveText(const ArbStore &store, std::string_view name, std::string_view lengthText)
{
    const int last = store.LastIndex();
    std::string text;
    text.reserve(name.size() + lengthText.size() + 4 + static_cast<std::size_t>(last + 1) * 8);
    text.append(name).append(kLineEnd);
    text.append(lengthText).append(kLineEnd);
    for (int i = 0; i <= last; ++i)
        text.append(FormatValue6(store.ArbData[static_cast<std::size_t>(i)])).append(kLineEnd);
    return text;
}

} // namespace arb
