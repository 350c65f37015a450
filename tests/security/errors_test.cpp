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

TYPED_TEST(SecurityErrorTest, IsCaughtAsTheCommonBaseAndAsRuntimeError)
{
    try {
        throw TypeParam("first");
    } catch (const TarvSecurityError& error) {
        EXPECT_STREQ(error.what(), "first");
    }
    try {
        throw TypeParam("second");
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "second");
    }
}

TYPED_TEST(SecurityErrorTest, CopiesAndAssignmentsKeepTheirOwnMessage)
{
    std::optional<TypeParam> source{std::in_place, "original"};
    TypeParam copied(*source);
    TypeParam moved(std::move(TypeParam(*source)));
    TypeParam assigned("other");
    assigned = *source;
    source.reset();
    EXPECT_STREQ(copied.what(), "original");
    EXPECT_STREQ(moved.what(), "original");
    EXPECT_STREQ(assigned.what(), "original");

    TypeParam& self = assigned;
    assigned = self;
    EXPECT_STREQ(assigned.what(), "original");
}

TEST(CipherStreamWriteErrorTest, IsARuntimeErrorButNotASecurityError)
{
    bool caughtAsSecurityError = false;
    try {
        try {
            throw CipherStreamWriteError("Unable to write encrypted data to file without key.");
        } catch (const TarvSecurityError&) {
            caughtAsSecurityError = true;
        }
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Unable to write encrypted data to file without key.");
    }
    EXPECT_FALSE(caughtAsSecurityError);
}
