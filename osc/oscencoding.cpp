#include "osc/oscencoding.h"

#include <algorithm>
#include <bit>
#include <QtEndian>

namespace tarv::osc {

namespace {

std::vector<std::uint8_t> EncodeBits(std::uint32_t bits)
{
    std::vector<std::uint8_t> bytes(sizeof(bits));
    qToBigEndian(bits, bytes.data());
    return bytes;
}

} // namespace

std::vector<std::uint8_t> EncodeInt32(std::int32_t value)
{
    return EncodeBits(static_cast<std::uint32_t>(value));
}

std::vector<std::uint8_t> EncodeFloat32(float value)
{
    return EncodeBits(std::bit_cast<std::uint32_t>(value));
}

std::vector<std::uint8_t> EncodeOscString(const std::string& text)
{
    const std::size_t padded = (text.size() / 4 + 1) * 4;
    std::vector<std::uint8_t> bytes(padded, 0);
    std::copy(text.begin(), text.end(), bytes.begin());
    return bytes;
}

} // namespace tarv::osc
