#pragma once

#include <cstdint>
#include <security/tarv_security_export.h>
#include <string>
#include <vector>

namespace tarv_sec {

// n bytes from a freshly seeded random pool. n == 0 throws std::out_of_range,
// n < 0 std::length_error.
[[nodiscard]] TARV_SECURITY_EXPORT std::vector<uint8_t> CreateRandomBytes(int n);
// The bytes of CreateRandomBytes(n) as a string: arbitrary values, not text.
[[nodiscard]] TARV_SECURITY_EXPORT std::string CreateRandomString(int n);

} // namespace tarv_sec

// n bytes, each uniform in [1, 52], drawn from the operating system's random
// source.
[[nodiscard]] TARV_SECURITY_EXPORT std::vector<uint8_t>
GenerateRandomVector(const unsigned long long& n);
