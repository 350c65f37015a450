#include "support.h"

#include <crypto++/hex.h>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <security/aes_ccm.h>
#include <security/key_derivation.h>
#include <security/random_material.h>

// Python's cryptography (AES-CCM) and hashlib (PBKDF2) are the independent
// peers, driven through crypto_oracle.py.

using namespace tarv_sec;

namespace {

// Lower-case hex, "-" standing for no bytes.
std::string Hex(const Bytes& data)
{
    std::string text;
    CryptoPP::StringSource(data.data(), data.size(), true,
                           new CryptoPP::HexEncoder(new CryptoPP::StringSink(text), false));
    return text.empty() ? "-" : text;
}

// Runs the oracle once over all requests, fed as a here-document, and
// returns its answers, one each.
std::vector<std::string> AskOracle(const std::vector<std::string>& requests)
{
    std::string command = TARV_PYTHON " " TARV_ORACLE_SCRIPT " <<'END'\n";
    for (const std::string& request : requests)
        command += request + '\n';
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + "END").c_str(), "r"), pclose);
    std::vector<std::string> answers;
    char line[4096];
    while (pipe && std::fgets(line, sizeof line, pipe.get()))
        answers.emplace_back(line, std::strcspn(line, "\n"));
    return answers;
}

} // namespace

TEST(InteropTest, SealedBlobsOpenInBothDirectionsForEachKeySize)
{
    std::vector<std::pair<Bytes, Bytes>> cases; // key, plaintext
    std::vector<std::string> requests;
    for (const std::size_t keySize : {16u, 24u, 32u}) {
        for (const std::size_t length : {0u, 5u, 100u}) {
            const Bytes key = CreateRandomBytes(static_cast<int>(keySize));
            const Bytes plain(length, static_cast<uint8_t>(keySize + length));
            cases.emplace_back(key, plain);
            requests.push_back("open " + Hex(key) + " " +
                               Hex(AesAuthenticateEncryptCreateIV(key, plain)) + " " + Hex(plain));
            requests.push_back("seal " + Hex(key) + " " + Hex(plain));
        }
    }
    const std::vector<std::string> answers = AskOracle(requests);
    ASSERT_EQ(answers.size(), requests.size()) << "is python3-cryptography installed?";
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(answers[2 * i], "ok") << requests[2 * i];
        EXPECT_EQ(AesAuthenticateDecryptReadIV(cases[i].first, FromHex(answers[2 * i + 1])),
                  cases[i].second)
            << requests[2 * i + 1];
    }
}

TEST(InteropTest, DeriveKeyMatchesPbkdf2HmacSha256)
{
    const std::vector<std::pair<Bytes, Bytes>> inputs{
        {{'p', 'a', 's', 's', 'w', 'o', 'r', 'd'}, {'s', 'a', 'l', 't'}},
        {{'p', 0, 'w'}, {0, 0, 's', 0}},
        {{}, {'s'}},
        {Bytes(100, 0xA5), {}},
    };
    std::vector<std::string> requests;
    for (const auto& [password, salt] : inputs)
        requests.push_back("pbkdf2 " + Hex(password) + " " + Hex(salt));
    const std::vector<std::string> answers = AskOracle(requests);
    ASSERT_EQ(answers.size(), requests.size());
    for (std::size_t i = 0; i < inputs.size(); ++i)
        EXPECT_EQ(Hex(DeriveKey(inputs[i].first, inputs[i].second)), answers[i]) << requests[i];
}
