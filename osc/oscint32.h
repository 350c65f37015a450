#pragma once

#include "osc/oscparam.h"

#include <cstddef>
#include <cstdint>

namespace tarv::osc {

class OscInt32 : public OscParam
{
public:
    explicit OscInt32(std::int32_t value);
    // Reads four big-endian bytes at data; size is what remains of the datagram.
    OscInt32(const std::uint8_t* data, std::size_t size, std::size_t& consumed);

    std::string ToString() const override;
    std::int32_t ToInt32() const override;
    float ToFloat32() const override;

    std::int32_t Value() const { return m_value; }

private:
    std::int32_t m_value;
};

} // namespace tarv::osc
