#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <security/aes_ccm.h>
#include <security/key_derivation.h>
#include <sstream>

// Checks the library against an independent implementation: Python's
// cryptography (AES-CCM) and hashlib (PBKDF2). The script and interpreter come
// from the build.

using bytes = std::vector<uint8_t>;
using namespace tarv_sec;

namespace {

std::string Hex(const bytes& data)
{
    if (data.empty())
        return "-";
    static constexpr char Digits[] = "0123456789abcdef";
    std::string text;
    for (const uint8_t byte : data) {
        text += Digits[byte >> 4];
        text += Digits[byte & 15];
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

// Sends every request to the reference in one run and returns its answers.
std::vector<std::string> AskReference(const std::vector<std::string>& requests)
{
    const std::string requestFile = ::testing::TempDir() + "/oracle_requests.txt";
    {
        std::ofstream file(requestFile);
        for (const std::string& request : requests)
            file << request << '\n';
    }
    const std::string command =
        std::string(TARV_PYTHON) + " " + TARV_ORACLE_SCRIPT + " < " + requestFile;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::vector<std::string> answers;
    if (!pipe)
        return answers;
    std::string line;
    for (int c = std::fgetc(pipe.get()); c != EOF; c = std::fgetc(pipe.get())) {
        if (c == '\n') {
            answers.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(c);
        }
    }
    std::filesystem::remove(requestFile);
    return answers;
}

bytes Message(std::size_t n)
{
    bytes data(n);
    for (std::size_t i = 0; i < n; ++i)
        data[i] = static_cast<uint8_t>(i * 7 + 3);
    return data;
}

} // namespace

TEST(InteropTest, SealedBlobsOpenInBothDirectionsForEachKeySize)
{
    struct Case
    {
        bytes key;
        bytes plain;
        bytes ours;
    };
    std::vector<Case> cases;
    std::vector<std::string> requests;
    for (const std::size_t keySize : {16u, 24u, 32u}) {
        for (const std::size_t length : {0u, 5u, 100u}) {
            bytes key = Message(keySize);
            key[0] = static_cast<uint8_t>(length);
            const bytes plain = Message(length);
            cases.push_back({key, plain, AesAuthenticateEncryptCreateIV(key, plain)});
            requests.push_back("open " + Hex(key) + " " + Hex(cases.back().ours) + " " +
                               Hex(plain));
            requests.push_back("seal " + Hex(key) + " " + Hex(plain));
        }
    }
    const std::vector<std::string> answers = AskReference(requests);
    ASSERT_EQ(answers.size(), requests.size()) << "is python3-cryptography installed?";

    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(requests[2 * i + 1]);
        EXPECT_EQ(answers[2 * i], "ok");
        const bytes theirs = Unhex(answers[2 * i + 1]);
        EXPECT_EQ(theirs.size(), cases[i].plain.size() + 28);
        EXPECT_EQ(AesAuthenticateDecryptReadIV(cases[i].key, theirs), cases[i].plain);
    }
}

TEST(InteropTest, DeriveKeyMatchesPbkdf2HmacSha256)
{
    const std::vector<std::pair<bytes, bytes>> inputs{
        {{'p', 'a', 's', 's', 'w', 'o', 'r', 'd'}, {'s', 'a', 'l', 't'}},
        {{'p', 0, 'w'}, {0, 0, 's', 0}},
        {{}, {'s'}},
        {Message(100), {}},
    };
    std::vector<std::string> requests;
    for (const auto& [password, salt] : inputs)
        requests.push_back("pbkdf2 " + Hex(password) + " " + Hex(salt));
    const std::vector<std::string> answers = AskReference(requests);
    ASSERT_EQ(answers.size(), requests.size());
    for (std::size_t i = 0; i < inputs.size(); ++i)
        EXPECT_EQ(Hex(DeriveKey(inputs[i].first, inputs[i].second)), answers[i]) << requests[i];
}
