#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarv::osc {

// Wire forms of outgoing OSC arguments, numbers big-endian.
std::vector<std::uint8_t> EncodeInt32(std::int32_t value);
std::vector<std::uint8_t> EncodeFloat32(float value);
// The text, a NUL, and further NULs up to a multiple of four bytes.
std::vector<std::uint8_t> EncodeOscString(const std::string& text);

} // namespace tarv::osc
