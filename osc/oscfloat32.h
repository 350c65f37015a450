#pragma once

#include "osc/oscparam.h"

#include <cstddef>
#include <cstdint>

namespace tarv::osc {

class OscFloat32 : public OscParam
{
public:
    explicit OscFloat32(float value);
    // Reads the four big-endian bytes of an IEEE 754 single at data; size is
    // what remains of the datagram.
    OscFloat32(const std::uint8_t* data, std::size_t size, std::size_t& consumed);

    // Six decimals, as printf's "%f" gives them.
    std::string ToString() const override;
    float ToFloat32() const override;

    float Value() const { return m_value; }

private:
    float m_value;
};

} // namespace tarv::osc
