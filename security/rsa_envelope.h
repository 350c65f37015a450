#pragma once

#include <cstdint>
#include <security/tarv_security_export.h>
#include <vector>

// The sign-and-encrypt envelope: the RSA-OAEP block ciphertext, under the
// recipient's public key, of message || signature, where the signature is the
// sender's recipient-bound signature (rsa_signature.h). The signature covers
// the whole message, so dropped, repeated or reordered blocks fail
// verification. Keys are DER bytes: X.509 for public keys, PKCS #8 for
// private keys, each validated when decoded.

namespace tarv_sec {

[[nodiscard]] TARV_SECURITY_EXPORT std::vector<uint8_t>
RsaSignAndEncrypt(const std::vector<uint8_t>& recipientPublicKeyDer,
                  const std::vector<uint8_t>& senderPrivateKeyDer,
                  const std::vector<uint8_t>& message);

// Opens an envelope and returns the message. RsaKeyValidationFailed when the
// recipient's public and private keys do not belong together;
// RsaDecryptFailed or Crypto++'s invalid-ciphertext error when the ciphertext
// does not decrypt; RsaVerifyFailed when the signature does not verify. No
// part of the message is returned unless the whole envelope checks out.
[[nodiscard]] TARV_SECURITY_EXPORT std::vector<uint8_t>
RsaDecryptAndVerify(const std::vector<uint8_t>& recipientPublicKeyDer,
                    const std::vector<uint8_t>& recipientPrivateKeyDer,
                    const std::vector<uint8_t>& senderPublicKeyDer,
                    const std::vector<uint8_t>& cipher);

} // namespace tarv_sec
