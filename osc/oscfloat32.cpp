#include "osc/oscfloat32.h"

#include <bit>
#include <cstdio>
#include <limits>
#include <QtEndian>
#include <stdexcept>

namespace tarv::osc {

static_assert(sizeof(float) == sizeof(std::uint32_t) && std::numeric_limits<float>::is_iec559);

OscFloat32::OscFloat32(float value)
    : OscParam(OscType::Float32)
    , m_value(value)
{}

OscFloat32::OscFloat32(const std::uint8_t* data, std::size_t size, std::size_t& consumed)
    : OscParam(OscType::Float32)
    , m_value(0.0f)
{
    if (size < sizeof(float)) {
        throw std::runtime_error("Cannot read OSC Param of type float32 in less than four bytes.");
    }
    m_value = std::bit_cast<float>(qFromBigEndian<std::uint32_t>(data));
    consumed = sizeof(float);
}

std::string OscFloat32::ToString() const
{
    // "%f" of the largest float has 46 digits before the point, so the text is
    // measured first rather than written into a guessed buffer.
    const double value = m_value;
    const int length = std::snprintf(nullptr, 0, "%f", value);
    if (length < 0) {
        throw std::runtime_error("Parameter does not convert to string.");
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, "%f", value);
    return text;
}

float OscFloat32::ToFloat32() const
{
    return m_value;
}

} // namespace tarv::osc
