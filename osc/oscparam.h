#pragma once

#include "osc/osctype.h"

#include <cstdint>
#include <string>

namespace tarv::osc {

// One argument of a received OSC message. Each conversion throws
// std::runtime_error unless the concrete type supports it.
class OscParam
{
public:
    virtual ~OscParam();

    virtual std::string ToString() const;
    virtual std::int32_t ToInt32() const;
    virtual float ToFloat32() const;

    OscType Type() const { return m_type; }

protected:
    explicit OscParam(OscType type);
    OscParam(const OscParam&) = default;
    OscParam& operator=(const OscParam&) = default;

private:
    OscType m_type;
};

} // namespace tarv::osc
