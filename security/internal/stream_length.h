#pragma once

#include <cstdint>
#include <istream>

namespace tarv_sec {

// Bytes from the stream's read position to its end, measured by seeking; the
// read position is kept. A stream that merely sits at or beyond its end has
// nothing left, which is not a failure. kit::IoError "Stream is not
// readable." when the stream cannot be measured (it failed, or it cannot
// seek).
std::uint64_t RemainingBytes(std::istream& in);

} // namespace tarv_sec
