#pragma once

#include <filesystem>
#include <string>

namespace tarv_sec {

// The library takes file paths as UTF-8; this gives the platform's native
// path for them (UTF-16 on Windows), so names outside ASCII open the right
// file everywhere.
std::filesystem::path PathFromUtf8(const std::string& utf8);

} // namespace tarv_sec
