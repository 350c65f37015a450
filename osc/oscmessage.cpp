#include "osc/oscmessage.h"

#include "osc/oscfloat32.h"
#include "osc/oscint32.h"
#include "osc/oscstring.h"

#include <stdexcept>

namespace tarv::osc {

std::unique_ptr<OscParam> MakeOscParam(OscType type, const std::uint8_t* data, std::size_t size,
                                       std::size_t& consumed)
{
    switch (type) {
    case OscType::Int32:
        return std::make_unique<OscInt32>(data, size, consumed);
    case OscType::Float32:
        return std::make_unique<OscFloat32>(data, size, consumed);
    case OscType::String:
        return std::make_unique<OscString>(data, size, consumed);
    case OscType::Blob:
    case OscType::Unknown:
        break;
    }
    throw std::runtime_error("Unsupported or unknown OSC Type.");
}

OscMessage ParseOscMessage(const std::uint8_t* data, std::size_t size, std::size_t& consumed)
{
    OscMessage message;
    std::size_t offset = 0;
    std::size_t used = 0;

    message.address = OscString(data, size, used).Value();
    offset += used;
    if (message.address == "#bundle") {
        throw std::runtime_error("OSC Bundle detected. OSC Bundles unsupported at this time.");
    }
    if (offset == size || data[offset] != ',') {
        consumed = offset;
        return message;
    }

    const std::string tags = OscString(data + offset, size - offset, used).Value();
    offset += used;
    const std::vector<OscType> types = ParseTypeTags(tags);

    message.params.reserve(types.size());
    for (const OscType type : types) {
        message.params.push_back(MakeOscParam(type, data + offset, size - offset, used));
        offset += used;
    }
    consumed = offset;
    return message;
}

} // namespace tarv::osc
