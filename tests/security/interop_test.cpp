#include <cstdio>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <security/aes_ccm.h>
#include <security/key_derivation.h>
#include <security/random_material.h>

// Checks the library against independent implementations: Python's
// cryptography for AES-CCM and hashlib for PBKDF2 (crypto_oracle.py).

using bytes = std::vector<uint8_t>;
using namespace tarv_sec;

namespace {

std::string Hex(const bytes& data)
{
    std::string text = data.empty() ? "-" : "";
    char digits[3];
    for (const uint8_t byte : data) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        text += digits;
    }
    return text;
}

bytes Unhex(const std::string& text)
{
    bytes data;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2)
        data.push_back(static_cast<uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
    return data;
}

// Runs the oracle once over all requests and returns its answers, one each.
std::vector<std::string> AskOracle(const std::vector<std::string>& requests)
{
    const std::string requestFile =
        ::testing::TempDir() + "/oracle_requests_" + std::to_string(std::random_device{}());
    std::ofstream file(requestFile);
    for (const std::string& request : requests)
        file << request << '\n';
    file.close();
    const std::string command = TARV_PYTHON " " TARV_ORACLE_SCRIPT " < " + requestFile;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::vector<std::string> answers;
    char line[4096];
    while (pipe && std::fgets(line, sizeof line, pipe.get()))
        answers.emplace_back(line, std::strcspn(line, "\n"));
    pipe.reset();
    std::remove(requestFile.c_str());
    return answers;
}

} // namespace

TEST(InteropTest, SealedBlobsOpenInBothDirectionsForEachKeySize)
{
    std::vector<std::pair<bytes, bytes>> cases; // key, plaintext
    std::vector<std::string> requests;
    for (const std::size_t keySize : {16u, 24u, 32u}) {
        for (const std::size_t length : {0u, 5u, 100u}) {
            const bytes key = CreateRandomBytes(static_cast<int>(keySize));
            const bytes plain(length, static_cast<uint8_t>(keySize + length));
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
        const bytes theirs = Unhex(answers[2 * i + 1]);
        EXPECT_EQ(theirs.size(), cases[i].second.size() + 28);
        EXPECT_EQ(AesAuthenticateDecryptReadIV(cases[i].first, theirs), cases[i].second)
            << requests[2 * i + 1];
    }
}

TEST(InteropTest, DeriveKeyMatchesPbkdf2HmacSha256)
{
    const std::vector<std::pair<bytes, bytes>> inputs{
        {{'p', 'a', 's', 's', 'w', 'o', 'r', 'd'}, {'s', 'a', 'l', 't'}},
        {{'p', 0, 'w'}, {0, 0, 's', 0}},
        {{}, {'s'}},
        {bytes(100, 0xA5), {}},
    };
    std::vector<std::string> requests;
    for (const auto& [password, salt] : inputs)
        requests.push_back("pbkdf2 " + Hex(password) + " " + Hex(salt));
    const std::vector<std::string> answers = AskOracle(requests);
    ASSERT_EQ(answers.size(), requests.size());
    for (std::size_t i = 0; i < inputs.size(); ++i)
        EXPECT_EQ(Hex(DeriveKey(inputs[i].first, inputs[i].second)), answers[i]) << requests[i];
}
