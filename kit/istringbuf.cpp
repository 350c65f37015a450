#include <kit/istringbuf.h>
#include <string>

namespace kit {

istringbuf::istringbuf(const std::vector<uint8_t>& bytes)
    : std::basic_stringbuf<char>(std::string(bytes.begin(), bytes.end()), std::ios::in)
{}

istringbuf::~istringbuf() = default;

} // namespace kit
