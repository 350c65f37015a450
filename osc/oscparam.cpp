#include "osc/oscparam.h"

#include <stdexcept>

namespace tarv::osc {

OscParam::OscParam(OscType type)
    : m_type(type)
{}

OscParam::~OscParam() = default;

std::string OscParam::ToString() const
{
    throw std::runtime_error("Parameter does not convert to string.");
}

std::int32_t OscParam::ToInt32() const
{
    throw std::runtime_error("Parameter does not convert to int32.");
}

float OscParam::ToFloat32() const
{
    throw std::runtime_error("Parameter does not convert to float32.");
}

} // namespace tarv::osc
