#pragma once

#include <crypto++/hex.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <numeric>
#include <random>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline Bytes Counting(std::size_t n, uint8_t start = 0)
{
    Bytes bytes(n);
    std::iota(bytes.begin(), bytes.end(), start);
    return bytes;
}

inline std::string AsString(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

inline Bytes FromHex(const std::string& hex)
{
    std::string decoded;
    CryptoPP::StringSource(hex, true, new CryptoPP::HexDecoder(new CryptoPP::StringSink(decoded)));
    return Bytes(decoded.begin(), decoded.end());
}

inline Bytes ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The message of the `Error` that `call` throws; fails the test when it
// throws nothing.
template <class Error, class Call>
std::string ErrorMessage(Call call)
{
    try {
        call();
    } catch (const Error& error) {
        return error.what();
    }
    ADD_FAILURE() << "nothing thrown";
    return {};
}

// A directory of the test's own, unique even when several builds run the
// tests at once, removed with its contents.
class ScratchDir
{
public:
    ScratchDir() { std::filesystem::create_directories(m_path); }
    ~ScratchDir() { std::filesystem::remove_all(m_path); }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return (m_path / name).string(); }

private:
    const std::filesystem::path m_path =
        std::filesystem::temp_directory_path() /
        ("tarv-security-" + std::to_string(std::random_device{}()));
};
