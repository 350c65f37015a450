#pragma once

#include <cstdint>
#include <iosfwd>
#include <security/tarv_security_export.h>
#include <string>
#include <vector>

// Authenticated encryption with AES in CCM mode: 16-byte tag at the end, no
// additional authenticated data. A sealed blob is nonce (12) || ciphertext ||
// tag (16).
//
// No decryption releases plaintext whose tag has not verified: on a failed
// check the output vector is empty, nothing reaches the output stream and no
// file is written. Input too short to hold a tag (or a nonce and a tag) is
// refused with AesAuthenticationFailed before any cipher work. Key and nonce
// lengths that AES or CCM refuse, and messages longer than the nonce length
// allows, propagate as Crypto++ exceptions; unreadable or unwritable streams
// and files are kit::IoError.
namespace tarv_sec {

inline constexpr std::size_t AesTagSize = 16;
inline constexpr std::size_t AesNonceSize = 12;

// ciphertext || tag, plain.size() + 16 bytes.
[[nodiscard]] TARV_SECURITY_EXPORT std::vector<uint8_t>
AesAuthenticateEncrypt(const std::vector<uint8_t>& key, const std::vector<uint8_t>& iv,
                       const std::vector<uint8_t>& plain);
TARV_SECURITY_EXPORT void AesAuthenticateEncrypt(const std::vector<uint8_t>& key,
                                                 const std::vector<uint8_t>& iv,
                                                 const std::vector<uint8_t>& plain,
                                                 std::vector<uint8_t>& out);
// Encrypts from the stream's current read position to its end.
TARV_SECURITY_EXPORT void AesAuthenticateEncrypt(const std::vector<uint8_t>& key,
                                                 const std::vector<uint8_t>& iv, std::istream& in,
                                                 std::ostream& out);

// A fresh nonce, then the sealed blob nonce || ciphertext || tag.
[[nodiscard]] TARV_SECURITY_EXPORT std::vector<uint8_t>
AesAuthenticateEncryptCreateIV(const std::vector<uint8_t>& key, const std::vector<uint8_t>& plain);

// The plaintext; throws AesAuthenticationFailed when the tag does not verify.
[[nodiscard]] TARV_SECURITY_EXPORT std::vector<uint8_t>
AesAuthenticateDecrypt(const std::vector<uint8_t>& key, const std::vector<uint8_t>& iv,
                       const std::vector<uint8_t>& cipher);
// True when the tag verifies; `out` then holds the plaintext, else it is empty.
[[nodiscard]] TARV_SECURITY_EXPORT bool AesAuthenticateDecrypt(const std::vector<uint8_t>& key,
                                                               const std::vector<uint8_t>& iv,
                                                               const std::vector<uint8_t>& cipher,
                                                               std::vector<uint8_t>& out);
// Decrypts from the current read position to the end (the last 16 bytes being
// the tag); the plaintext is written to `out` only once the tag has verified.
[[nodiscard]] TARV_SECURITY_EXPORT bool AesAuthenticateDecrypt(const std::vector<uint8_t>& key,
                                                               const std::vector<uint8_t>& iv,
                                                               std::istream& in, std::ostream& out);

// Opens a sealed blob; throws AesAuthenticationFailed when the tag does not
// verify.
[[nodiscard]] TARV_SECURITY_EXPORT std::vector<uint8_t>
AesAuthenticateDecryptReadIV(const std::vector<uint8_t>& key, const std::vector<uint8_t>& blob);

// Opens a sealed blob into the file at the UTF-8 `path`. The file is written
// only after the tag has verified, and replaced as a whole: a failure leaves
// any previous file as it was.
[[nodiscard]] TARV_SECURITY_EXPORT bool
AesAuthenticateDecryptToFile(const std::vector<uint8_t>& key, const std::vector<uint8_t>& blob,
                             const std::string& path);

// 16 random bytes (an AES-128 key).
[[nodiscard]] TARV_SECURITY_EXPORT std::vector<uint8_t> GenerateAesKey();
// 12 random bytes (a nonce).
[[nodiscard]] TARV_SECURITY_EXPORT std::vector<uint8_t> GenerateAesIV();

// n + 28 in unsigned 32-bit arithmetic: the length of a sealed blob.
[[nodiscard]] TARV_SECURITY_EXPORT unsigned int GetAesEncryptedLength(unsigned int n);

} // namespace tarv_sec
