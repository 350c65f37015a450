#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <security/key_derivation.h>
#include <security/random_material.h>
#include <set>

using bytes = std::vector<uint8_t>;
using namespace tarv_sec;

// Agreement with an independent PBKDF2 lives in the interoperability test;
// these cases cover the properties that hold whatever the reference.
TEST(DeriveKeyTest, IsDeterministicAndOrderSensitiveForAnyInput)
{
    const bytes password{'p', 'w', 0, 'd'};
    const bytes salt{'s', 'a', 'l', 't'};
    const bytes key = DeriveKey(password, salt);
    EXPECT_EQ(key.size(), 64u);
    EXPECT_EQ(DeriveKey(password, salt), key);
    EXPECT_NE(DeriveKey(salt, password), key);
    EXPECT_EQ(DeriveKey({}, {}).size(), 64u);
}

TEST(CreateRandomBytesTest, GivesTheRequestedCountAndRefusesNoneOrNegative)
{
    EXPECT_EQ(CreateRandomBytes(1).size(), 1u);
    EXPECT_NE(CreateRandomBytes(32), CreateRandomBytes(32));
    EXPECT_EQ(CreateRandomString(16).size(), 16u);
    EXPECT_THROW((void)CreateRandomBytes(0), std::out_of_range);
    EXPECT_THROW((void)CreateRandomString(0), std::out_of_range);
    EXPECT_THROW((void)CreateRandomBytes(-1), std::length_error);
}

TEST(GenerateRandomVectorTest, DrawsEveryValueOfOneToFiftyTwoAndNothingElse)
{
    EXPECT_TRUE(GenerateRandomVector(0).empty());
    const bytes values = GenerateRandomVector(20000);
    ASSERT_EQ(values.size(), 20000u);
    std::array<int, 256> counts{};
    for (const uint8_t value : values)
        ++counts[value];
    EXPECT_EQ(counts[0], 0);
    EXPECT_TRUE(std::all_of(counts.begin() + 53, counts.end(), [](int c) { return c == 0; }));
    // Each value is expected about 385 times, give or take 20: bounds seven
    // deviations out never fail by chance, yet catch a value that is never
    // drawn or drawn twice as often.
    for (int value = 1; value <= 52; ++value) {
        EXPECT_GT(counts[value], 250) << value;
        EXPECT_LT(counts[value], 520) << value;
    }
    EXPECT_NE(GenerateRandomVector(64), GenerateRandomVector(64));
}
