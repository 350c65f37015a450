#pragma once

#include "osc/oscparam.h"

#include <cstddef>
#include <cstdint>

namespace tarv::osc {

class OscString : public OscParam
{
public:
    explicit OscString(std::string value);
    // Reads a NUL-terminated string padded with NULs to a multiple of four
    // bytes; size is what remains of the datagram. consumed is the padded length.
    OscString(const std::uint8_t* data, std::size_t size, std::size_t& consumed);

    std::string ToString() const override;

    const std::string& Value() const { return m_value; }

private:
    std::string m_value;
};

} // namespace tarv::osc
