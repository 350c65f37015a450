#include "osc/osctype.h"

#include <stdexcept>

namespace tarv::osc {

OscType TagToOscType(char tag)
{
    switch (tag) {
    case 'i':
        return OscType::Int32;
    case 'f':
        return OscType::Float32;
    case 's':
        return OscType::String;
    case 'b':
        return OscType::Blob;
    default:
        return OscType::Unknown;
    }
}

char OscTypeToTag(OscType type)
{
    switch (type) {
    case OscType::Int32:
        return 'i';
    case OscType::Float32:
        return 'f';
    case OscType::String:
        return 's';
    case OscType::Blob:
        return 'b';
    case OscType::Unknown:
        break;
    }
    throw std::runtime_error("Unknown OSC Param Type has no character representation.");
}

std::vector<OscType> ParseTypeTags(const std::string& tags)
{
    if (tags.empty() || tags.front() != ',') {
        throw std::runtime_error(
            "OSC Parameter lists always start with a comma. This one did not.");
    }
    std::vector<OscType> types;
    types.reserve(tags.size() - 1);
    for (auto it = tags.begin() + 1; it != tags.end(); ++it) {
        types.push_back(TagToOscType(*it));
    }
    return types;
}

std::string MakeTypeTagString(const std::vector<OscType>& types)
{
    std::string tags(1, ',');
    tags.reserve(types.size() + 1);
    for (const OscType type : types) {
        tags.push_back(OscTypeToTag(type));
    }
    return tags;
}

} // namespace tarv::osc
