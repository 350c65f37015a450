#include <kit/errors.h>
#include <security/internal/stream_length.h>

namespace tarv_sec {

std::uint64_t RemainingBytes(std::istream& in)
{
    // Only the end-of-file mark would make the position queries fail.
    if (in.rdstate() == std::ios::eofbit)
        in.clear();
    const std::istream::pos_type start = in.tellg();
    if (start == std::istream::pos_type(-1))
        throw kit::IoError("Stream is not readable.");
    in.seekg(0, std::ios::end);
    const std::istream::pos_type end = in.tellg();
    in.seekg(start);
    if (end == std::istream::pos_type(-1) || !in)
        throw kit::IoError("Stream is not readable.");
    // A file stream may be positioned beyond its end: nothing is left there.
    if (end < start)
        return 0;
    return static_cast<std::uint64_t>(end - start);
}

} // namespace tarv_sec
