#pragma once

#include "osc/oscparam.h"
#include "osc/osctype.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tarv::osc {

// One received OSC message: its address and its arguments in datagram order.
struct OscMessage
{
    std::string address;
    std::vector<std::unique_ptr<OscParam>> params;
};

// Parses one OSC message (bundles are refused) from a datagram. Every reader
// sees only the bytes that remain, so no input can make it read past data + size.
// consumed receives the number of bytes the message occupied; bytes after the
// last described argument are ignored. Throws std::runtime_error on any fault.
OscMessage ParseOscMessage(const std::uint8_t* data, std::size_t size, std::size_t& consumed);

// Reads one argument of the given type; throws for types without a reader.
std::unique_ptr<OscParam> MakeOscParam(OscType type, const std::uint8_t* data, std::size_t size,
                                       std::size_t& consumed);

} // namespace tarv::osc
