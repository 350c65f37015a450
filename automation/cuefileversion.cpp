#include "automation/cuefileversion.h"

#include <stdexcept>

namespace tarv::automation {

namespace {

std::uint16_t ParsePart(const std::string& part)
{
    try {
        return static_cast<std::uint16_t>(std::stoi(part));
    } catch (const std::logic_error& error) {
        // Both a missing number and one beyond the int range end here; the
        // reader's callers expect a runtime_error for every bad file.
        throw std::runtime_error(std::string("Error parsing version: ") + error.what());
    }
}

} // namespace

CueFileVersion CueFileVersion::Parse(const std::string& text)
{
    const auto dot = text.find('.');
    if (dot == std::string::npos) {
        throw std::runtime_error("Invalid version string");
    }
    const std::uint16_t major = ParsePart(text.substr(0, dot));
    const std::uint16_t minor = ParsePart(text.substr(dot + 1));
    return {major, minor};
}

std::string CueFileVersion::ToString() const
{
    return std::to_string(m_major) + "." + std::to_string(m_minor);
}

} // namespace tarv::automation
