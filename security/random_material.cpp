#include <algorithm>
#include <crypto++/misc.h>
#include <crypto++/osrng.h>
#include <crypto++/secblock.h>
#include <limits>
#include <security/random_material.h>
#include <stdexcept>

namespace tarv_sec {

std::vector<uint8_t> CreateRandomBytes(int n)
{
    if (n < 0)
        throw std::length_error("vector too long");
    std::vector<uint8_t> result(static_cast<std::size_t>(n));
    CryptoPP::AutoSeededRandomPool random;
    if (result.empty())
        throw std::out_of_range("invalid vector subscript");
    random.GenerateBlock(result.data(), result.size());
    return result;
}

std::string CreateRandomString(int n)
{
    std::vector<uint8_t> random = CreateRandomBytes(n);
    std::string text(random.begin(), random.end());
    // The bytes may become key material: the intermediate copy is wiped.
    CryptoPP::SecureWipeBuffer(random.data(), random.size());
    return text;
}

} // namespace tarv_sec

std::vector<uint8_t> GenerateRandomVector(const unsigned long long& n)
{
    constexpr unsigned Lowest = 1;
    constexpr unsigned Count = 52;
    // Random bytes at or above the largest multiple of Count are redrawn, so
    // every value of the range is equally likely.
    constexpr unsigned Limit = (256 / Count) * Count;
    constexpr std::size_t PoolSize = 4096;

    if (n > std::numeric_limits<std::size_t>::max())
        throw std::length_error("vector too long");
    std::vector<uint8_t> result(static_cast<std::size_t>(n));
    CryptoPP::AutoSeededRandomPool random;
    CryptoPP::SecByteBlock pool(
        static_cast<std::size_t>(std::min<unsigned long long>(n, PoolSize)));
    std::size_t used = pool.size();
    for (uint8_t& value : result) {
        unsigned drawn = Limit;
        while (drawn >= Limit) {
            if (used == pool.size()) {
                random.GenerateBlock(pool.data(), pool.size());
                used = 0;
            }
            drawn = pool[used++];
        }
        value = static_cast<uint8_t>(Lowest + drawn % Count);
    }
    return result;
}
