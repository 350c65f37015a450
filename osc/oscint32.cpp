#include "osc/oscint32.h"

#include <QtEndian>
#include <stdexcept>

namespace tarv::osc {

OscInt32::OscInt32(std::int32_t value)
    : OscParam(OscType::Int32)
    , m_value(value)
{}

OscInt32::OscInt32(const std::uint8_t* data, std::size_t size, std::size_t& consumed)
    : OscParam(OscType::Int32)
    , m_value(0)
{
    if (size < sizeof(std::int32_t)) {
        throw std::runtime_error("Cannot read OSC Param of type int32 in less than four bytes.");
    }
    m_value = qFromBigEndian<std::int32_t>(data);
    consumed = sizeof(std::int32_t);
}

std::string OscInt32::ToString() const
{
    return std::to_string(m_value);
}

std::int32_t OscInt32::ToInt32() const
{
    return m_value;
}

float OscInt32::ToFloat32() const
{
    return static_cast<float>(m_value);
}

} // namespace tarv::osc
