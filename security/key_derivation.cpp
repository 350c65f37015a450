#include <crypto++/pwdbased.h>
#include <crypto++/sha.h>
#include <security/key_derivation.h>

namespace tarv_sec {

namespace {

constexpr std::size_t DerivedKeySize = 64;
constexpr unsigned int Iterations = 100000;
constexpr CryptoPP::byte Purpose = 0;

} // namespace

std::vector<uint8_t> DeriveKey(const std::vector<uint8_t>& password,
                               const std::vector<uint8_t>& salt)
{
    std::vector<uint8_t> derived(DerivedKeySize);
    CryptoPP::PKCS5_PBKDF2_HMAC<CryptoPP::SHA256> pbkdf2;
    pbkdf2.DeriveKey(derived.data(), derived.size(), Purpose, password.data(), password.size(),
                     salt.data(), salt.size(), Iterations, 0.0);
    return derived;
}

} // namespace tarv_sec
