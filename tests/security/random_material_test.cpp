#include <array>
#include <gtest/gtest.h>
#include <security/random_material.h>
#include <stdexcept>

using namespace tarv_sec;

// Key derivation is checked against an independent PBKDF2 in the
// interoperability test.

TEST(RandomMaterialTest, RandomBytesComeInTheCountAskedAndNeverNoneOrNegative)
{
    EXPECT_EQ(CreateRandomBytes(1).size(), 1u);
    EXPECT_NE(CreateRandomBytes(32), CreateRandomBytes(32));
    EXPECT_EQ(CreateRandomString(16).size(), 16u);
    EXPECT_THROW((void)CreateRandomString(0), std::out_of_range);
    EXPECT_THROW((void)CreateRandomBytes(-1), std::length_error);
}

TEST(RandomMaterialTest, RandomVectorDrawsEveryValueFromOneToFiftyTwoEvenly)
{
    EXPECT_TRUE(GenerateRandomVector(0).empty());
    std::array<int, 256> counts{};
    for (const uint8_t value : GenerateRandomVector(20000))
        ++counts[value];
    // About 385 draws each, give or take 20: bounds seven deviations out never
    // fail by chance, yet catch a value never drawn, or drawn twice as often.
    for (int value = 0; value < 256; ++value) {
        const bool inRange = value >= 1 && value <= 52;
        EXPECT_TRUE(inRange ? counts[value] > 250 && counts[value] < 520 : counts[value] == 0)
            << value << ": " << counts[value];
    }
}
