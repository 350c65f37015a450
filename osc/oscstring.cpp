#include "osc/oscstring.h"

#include <cstring>
#include <stdexcept>

namespace tarv::osc {

OscString::OscString(std::string value)
    : OscParam(OscType::String)
    , m_value(std::move(value))
{}

OscString::OscString(const std::uint8_t* data, std::size_t size, std::size_t& consumed)
    : OscParam(OscType::String)
{
    const void* terminator = size == 0 ? nullptr : std::memchr(data, 0, size);
    if (terminator == nullptr) {
        throw std::runtime_error(
            "OSC string is larger than buffer during read of null terminator.");
    }
    const auto length =
        static_cast<std::size_t>(static_cast<const std::uint8_t*>(terminator) - data);
    m_value.assign(reinterpret_cast<const char*>(data), length);

    std::size_t position = length + 1;
    for (; position % 4 != 0; ++position) {
        if (position >= size) {
            throw std::runtime_error("The OSC string " + m_value +
                                     " is larger than buffer while zero padding.");
        }
        if (data[position] != 0) {
            throw std::runtime_error("The OSC string " + m_value +
                                     " does not contain proper pad to extend the string to a "
                                     "multiple of 4.");
        }
    }
    consumed = position;
}

std::string OscString::ToString() const
{
    return m_value;
}

} // namespace tarv::osc
