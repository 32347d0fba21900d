#include "scope/CaptureBlock.h"

namespace arb
{

BlockHeader ParseBlockHeader(std::string_view bytes)
{
    BlockHeader header;
    if (bytes.empty())
        return header;
    if (bytes[0] != '#') {
        header.state = BlockHeader::State::Malformed;
        return header;
    }
    if (bytes.size() < 2)
        return header;
    const char d = bytes[1];
    if (d < '1' || d > '9') {
        header.state = BlockHeader::State::Malformed;
        return header;
    }
    const std::size_t digits = static_cast<std::size_t>(d - '0');
    const std::size_t available = bytes.size() - 2 < digits ? bytes.size() - 2 : digits;
    std::uint64_t n = 0;
    for (std::size_t i = 0; i < available; ++i) {
        const char c = bytes[2 + i];
        if (c < '0' || c > '9') {
            header.state = BlockHeader::State::Malformed;
            return header;
        }
        n = n * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (available < digits)
        return header;
    header.state = BlockHeader::State::Complete;
    header.headerBytes = 2 + digits;
    header.dataBytes = n;
    return header;
}

} // namespace arb
