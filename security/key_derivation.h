#pragma once

#include <cstdint>
#include <security/tarv_security_export.h>
#include <vector>

namespace tarv_sec {

// 64 bytes of PBKDF2-HMAC-SHA-256 over the password and salt, 100000
// iterations.
[[nodiscard]] TARV_SECURITY_EXPORT std::vector<uint8_t>
DeriveKey(const std::vector<uint8_t>& password, const std::vector<uint8_t>& salt);

} // namespace tarv_sec
