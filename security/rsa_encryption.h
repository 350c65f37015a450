#pragma once

#include <crypto++/rsa.h>
#include <cstdint>
#include <security/tarv_security_export.h>
#include <vector>

// RSA-OAEP with SHA-1 for messages of any length. The message is cut into
// pieces of at most the key's OAEP limit (214 bytes for 2048 bits), and each
// piece is encrypted on its own into one block of the modulus length (256
// bytes); an empty message gives an empty ciphertext.
//
// The blocks are independent: whoever holds the ciphertext can drop, repeat
// or reorder whole blocks, and the result still decrypts, to a different
// message. Block encryption alone does not protect the message's order or
// length; use the sign-and-encrypt envelope (rsa_envelope.h) for that.

namespace tarv_sec {

// `out` becomes the block ciphertext of `plain`. A key too small for OAEP's
// padding is refused with CryptoPP::InvalidArgument.
TARV_SECURITY_EXPORT void RsaEncrypt(const CryptoPP::RSAFunction& key,
                                     const std::vector<uint8_t>& plain, std::vector<uint8_t>& out);
// Decodes and validates the DER X.509 public key, then encrypts.
[[nodiscard]] TARV_SECURITY_EXPORT std::vector<uint8_t>
RsaEncrypt(const std::vector<uint8_t>& publicKeyDer, const std::vector<uint8_t>& plain);

// `out` becomes the concatenated plaintext of all blocks. RsaDecryptFailed
// when the ciphertext is not a whole number of blocks; a block that does not
// decode propagates Crypto++'s invalid-ciphertext error. On any failure `out`
// keeps what it held: no block's plaintext is released unless all decode.
TARV_SECURITY_EXPORT void RsaDecrypt(const CryptoPP::InvertibleRSAFunction& key,
                                     const std::vector<uint8_t>& cipher, std::vector<uint8_t>& out);
// Decodes and validates the DER PKCS #8 private key, then decrypts.
[[nodiscard]] TARV_SECURITY_EXPORT std::vector<uint8_t>
RsaDecrypt(const std::vector<uint8_t>& privateKeyDer, const std::vector<uint8_t>& cipher);

} // namespace tarv_sec
