#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

// Decryption into one buffer of the plaintext's final size, which a cipher
// stream then takes over whole: a buffer grown as the plaintext arrives frees
// each outgrown copy of it unwiped.

namespace tarv_sec {

// Decrypts the rest of `in`, ciphertext then the 16-byte AES-CCM tag, into
// the empty `plain`. On a failed check "Authentication failed." goes to the
// console, `plain` is wiped and emptied and the result is false; on any other
// failure it is wiped and emptied too. The errors are those of the stream
// form of AesAuthenticateDecrypt.
[[nodiscard]] bool AesDecryptRest(const std::vector<uint8_t>& key, const std::vector<uint8_t>& iv,
                                  std::istream& in, std::string& plain);

// Twofish-CFB decryption of `data` where it stands.
void TwoFishDecryptInPlace(const std::vector<uint8_t>& key, const std::vector<uint8_t>& iv,
                           std::string& data);

} // namespace tarv_sec
