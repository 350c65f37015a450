#pragma once

#include <crypto++/rsa.h>
#include <cstdint>
#include <vector>

namespace tarv_sec {

// DER PKCS #8 bytes to a validated private key.
CryptoPP::InvertibleRSAFunction PrivateKeyFromDer(const std::vector<uint8_t>& der);
// DER X.509 bytes to a validated public key.
CryptoPP::RSAFunction PublicKeyFromDer(const std::vector<uint8_t>& der);
// A key's DER encoding: X.509 SubjectPublicKeyInfo, PKCS #8 PrivateKeyInfo.
std::vector<uint8_t> PublicKeyToDer(const CryptoPP::X509PublicKey& key);
std::vector<uint8_t> PrivateKeyToDer(const CryptoPP::PKCS8PrivateKey& key);

} // namespace tarv_sec
