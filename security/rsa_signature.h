#pragma once

#include <crypto++/rsa.h>
#include <cstdint>
#include <security/tarv_security_export.h>
#include <vector>

// RSASSA-PKCS1-v1_5 signatures with SHA-256; a signature is as long as the
// modulus (256 bytes for 2048 bits). A signed message is message ||
// signature. A recipient-bound signature covers DER(recipient public key) ||
// message, so it verifies only for the recipient it was made for.
//
// The verifiers return false for any signature that does not verify,
// including one of the wrong length, and then leave `out` unchanged.

namespace tarv_sec {

// `out` becomes the signature alone.
TARV_SECURITY_EXPORT void SignMessage(const CryptoPP::InvertibleRSAFunction& key,
                                      const std::vector<uint8_t>& message,
                                      std::vector<uint8_t>& out);
[[nodiscard]] TARV_SECURITY_EXPORT std::vector<uint8_t>
SignMessage(const CryptoPP::InvertibleRSAFunction& key, const std::vector<uint8_t>& message);

// Checks message || signature; on success appends the message to `out`.
[[nodiscard]] TARV_SECURITY_EXPORT bool VerifyMessage(const CryptoPP::RSAFunction& key,
                                                      const std::vector<uint8_t>& signedMessage,
                                                      std::vector<uint8_t>& out);
[[nodiscard]] TARV_SECURITY_EXPORT bool VerifyMessage(const CryptoPP::RSAFunction& key,
                                                      const std::vector<uint8_t>& message,
                                                      const std::vector<uint8_t>& signature,
                                                      std::vector<uint8_t>& out);

// `out` becomes the signature over DER(recipientKey) || message.
TARV_SECURITY_EXPORT void SignForRecipient(const CryptoPP::RSAFunction& recipientKey,
                                           const CryptoPP::InvertibleRSAFunction& senderKey,
                                           const std::vector<uint8_t>& message,
                                           std::vector<uint8_t>& out);
// Checks message || recipient-bound signature; on success `out` is replaced
// by the message.
[[nodiscard]] TARV_SECURITY_EXPORT bool
VerifyForRecipient(const CryptoPP::RSAFunction& recipientKey,
                   const CryptoPP::RSAFunction& senderKey,
                   const std::vector<uint8_t>& signedMessage, std::vector<uint8_t>& out);
[[nodiscard]] TARV_SECURITY_EXPORT bool
VerifyForRecipient(const CryptoPP::RSAFunction& recipientKey,
                   const CryptoPP::RSAFunction& senderKey, const std::vector<uint8_t>& message,
                   const std::vector<uint8_t>& signature, std::vector<uint8_t>& out);

} // namespace tarv_sec
