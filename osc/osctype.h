#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarv::osc {

// The type of one OSC argument, as announced by its letter in the type-tag string.
enum class OscType : std::uint32_t
{
    Unknown = 0,
    Int32 = 1,
    Float32 = 2,
    String = 3,
    Blob = 4, // known by its letter, but neither read nor written
};

OscType TagToOscType(char tag);
// Throws std::runtime_error for a type that has no letter.
char OscTypeToTag(OscType type);

// Throws std::runtime_error when the tags do not start with ','.
std::vector<OscType> ParseTypeTags(const std::string& tags);
std::string MakeTypeTagString(const std::vector<OscType>& types);

} // namespace tarv::osc
