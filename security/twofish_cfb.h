#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <security/tarv_security_export.h>
#include <vector>

// Twofish in CFB mode with full 16-byte feedback. Ciphertext and plaintext
// have the same length: there is no padding and no tag, so nothing here
// detects altered or truncated ciphertext. A flipped ciphertext bit flips the
// same plaintext bit and garbles the next block; callers that need integrity
// must add it themselves (or use the AES-CCM helpers).
//
// A key and IV pair must never encrypt two different plaintexts: saving two
// documents with the same key and IV exposes the XOR of the two documents (up
// to and including the first 16-byte block in which they differ) and shows
// where they agree, without the key.
//
// The IV is always exactly 16 bytes; any other size is refused with
// std::invalid_argument before any byte is read.

namespace tarv_sec {

// Returns the ciphertext of data, of the same length.
[[nodiscard]] TARV_SECURITY_EXPORT std::vector<uint8_t>
TwoFishBlockEncrypt(const std::vector<uint8_t>& key, const std::vector<uint8_t>& iv,
                    const std::vector<uint8_t>& data);
// Writes the ciphertext into out's existing storage without resizing it; out
// must hold at least data.size() bytes (std::invalid_argument otherwise), its
// tail beyond that keeps its bytes.
TARV_SECURITY_EXPORT void TwoFishBlockEncrypt(const std::vector<uint8_t>& key,
                                              const std::vector<uint8_t>& iv,
                                              const std::vector<uint8_t>& data,
                                              std::vector<uint8_t>& out);
// Encrypts from in's current read position to its end into out.
TARV_SECURITY_EXPORT void TwoFishBlockEncrypt(const std::vector<uint8_t>& key,
                                              const std::vector<uint8_t>& iv, std::istream& in,
                                              std::ostream& out);

[[nodiscard]] TARV_SECURITY_EXPORT std::vector<uint8_t>
TwoFishBlockDecrypt(const std::vector<uint8_t>& key, const std::vector<uint8_t>& iv,
                    const std::vector<uint8_t>& data);
TARV_SECURITY_EXPORT void TwoFishBlockDecrypt(const std::vector<uint8_t>& key,
                                              const std::vector<uint8_t>& iv,
                                              const std::vector<uint8_t>& data,
                                              std::vector<uint8_t>& out);
TARV_SECURITY_EXPORT void TwoFishBlockDecrypt(const std::vector<uint8_t>& key,
                                              const std::vector<uint8_t>& iv, std::istream& in,
                                              std::ostream& out);

} // namespace tarv_sec

// The three helpers below read at most `size` bytes of plaintext or
// ciphertext from `in`: bytes beyond that stay unread, and a stream holding
// fewer leaves the result's tail as zero bytes.

// IV (16 bytes) followed by the ciphertext of the next `size` bytes of `in`;
// the result is exactly size + 16 bytes. kit::IoError when `in` is not good,
// std::invalid_argument when the IV is not 16 bytes.
[[nodiscard]] TARV_SECURITY_EXPORT std::vector<uint8_t>
generic_encrypt(std::istream& in, unsigned long long size, const std::vector<uint8_t>& key,
                const std::vector<uint8_t>& iv);
// The ciphertext alone, exactly `size` bytes.
[[nodiscard]] TARV_SECURITY_EXPORT std::vector<uint8_t>
generic_noinitval_encrypt(std::istream& in, unsigned long long size,
                          const std::vector<uint8_t>& key, const std::vector<uint8_t>& iv);
// Reads the 16-byte IV that generic_encrypt wrote, then decrypts up to `size`
// bytes; the result is exactly `size` bytes. kit::IoError when the stream ends
// before a whole IV.
[[nodiscard]] TARV_SECURITY_EXPORT std::vector<uint8_t>
generic_decrypt(std::istream& in, unsigned long long size, std::vector<uint8_t> key);
