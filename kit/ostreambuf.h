#pragma once

#include <cstdint>
#include <kit/kit_export.h>
#include <sstream>
#include <vector>

namespace kit {

// A write-only stream buffer whose put area is the storage of an existing,
// already sized byte vector: writes fill the vector in place. The vector is
// never grown: a write past its end fails (the stream goes bad) instead of
// spilling into a hidden buffer. The vector must outlive the buffer and must
// not be resized while the buffer is in use.
class KIT_EXPORT ostreambuf : public std::basic_stringbuf<char>
{
public:
    explicit ostreambuf(std::vector<uint8_t>& target);
    ~ostreambuf() override;

protected:
    int_type overflow(int_type ch) override;
};

} // namespace kit
