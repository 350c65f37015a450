#pragma once

#include <crypto++/rsa.h>
#include <cstdint>
#include <security/tarv_security_export.h>
#include <string>
#include <utility>
#include <vector>

// RSA key pairs of 2048 bits and their files: the private key as DER PKCS #8
// PrivateKeyInfo ("<base>-private.key", readable by its owner only), the
// public key as DER X.509 SubjectPublicKeyInfo ("<base>-public.key"). Every
// key that is loaded or decoded is validated at Crypto++'s most thorough
// level, after its sizes: a modulus of 2048 to 16384 bits and a public
// exponent of at most 64 bits. A key that fails is RsaKeyValidationFailed. File paths are UTF-8;
// unreadable or unwritable files are kit::IoError, and a failed write leaves
// any previous file as it was.

namespace tarv_sec {

// Generates a pair, writes both files into the existing directory `dir`, and
// reads them back to check them. Returns (private key path, public key path).
TARV_SECURITY_EXPORT std::pair<std::string, std::string> GenerateRsaKeyPair(const std::string& base,
                                                                            const std::string& dir);
// The two paths of a pair, private first.
[[nodiscard]] TARV_SECURITY_EXPORT std::pair<std::string, std::string>
GetRsaKeyPairNames(const std::string& base, const std::string& dir);

[[nodiscard]] TARV_SECURITY_EXPORT CryptoPP::InvertibleRSAFunction
LoadPrivateKey(const std::string& path);
[[nodiscard]] TARV_SECURITY_EXPORT CryptoPP::RSAFunction LoadPublicKey(const std::string& path);

// The DER encoding of the loaded key (re-encoded, not the file's bytes).
[[nodiscard]] TARV_SECURITY_EXPORT std::vector<uint8_t>
GetPrivateKeyBytesFromFile(const std::string& path);
[[nodiscard]] TARV_SECURITY_EXPORT std::vector<uint8_t>
GetPublicKeyBytesFromFile(const std::string& path);

// Decodes DER X.509 bytes into `key` and validates it. Malformed bytes
// propagate Crypto++'s decoding error.
TARV_SECURITY_EXPORT void GetPublicKey(const std::vector<uint8_t>& der, CryptoPP::RSAFunction& key);

// True when modulus and public exponent are both equal.
[[nodiscard]] TARV_SECURITY_EXPORT bool ComparePublicKeys(const CryptoPP::RSAFunction& a,
                                                          const CryptoPP::RSAFunction& b);

} // namespace tarv_sec
