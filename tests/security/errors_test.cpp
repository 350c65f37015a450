#include <gtest/gtest.h>
#include <optional>
#include <security/errors.h>

using namespace tarv_sec;

template <class Error>
class SecurityErrorTest : public ::testing::Test
{
};

using SecurityErrors = ::testing::Types<TarvSecurityError, AesAuthenticationFailed,
                                        RsaDecryptFailed, RsaKeyValidationFailed, RsaVerifyFailed>;
TYPED_TEST_SUITE(SecurityErrorTest, SecurityErrors);

TYPED_TEST(SecurityErrorTest, IsCaughtAsTheCommonBaseAndCopiesOutliveTheSource)
{
    std::optional<TypeParam> source{std::in_place, "original"};
    TypeParam assigned("other");
    assigned = *source;
    TypeParam temporary(*source);
    TypeParam moved(std::move(temporary));
    try {
        throw TypeParam(*source);
    } catch (const TarvSecurityError& error) {
        source.reset();
        EXPECT_STREQ(error.what(), "original");
    }
    assigned = static_cast<TypeParam&>(assigned);
    EXPECT_STREQ(assigned.what(), "original");
    EXPECT_STREQ(moved.what(), "original");
}

TEST(CipherStreamWriteErrorTest, IsARuntimeErrorButNotASecurityError)
{
    EXPECT_FALSE((std::is_base_of_v<TarvSecurityError, CipherStreamWriteError>));
    try {
        throw CipherStreamWriteError("Unable to write encrypted data to file without key.");
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Unable to write encrypted data to file without key.");
    }
}
