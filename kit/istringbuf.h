#pragma once

#include <cstdint>
#include <kit/kit_export.h>
#include <sstream>
#include <vector>

namespace kit {

// A read-only stream buffer over a private copy of a byte vector, so that a
// byte vector can feed anything that reads a std::istream.
class KIT_EXPORT istringbuf : public std::basic_stringbuf<char>
{
public:
    explicit istringbuf(const std::vector<uint8_t>& bytes);
    ~istringbuf() override;
};

} // namespace kit
