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

// The copy and move members are written out by hand: each must keep its own
// message, self-assignment included.
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
