#include <security/internal/file_paths.h>

namespace tarv_sec {

std::filesystem::path PathFromUtf8(const std::string& utf8)
{
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

} // namespace tarv_sec
