#include <security/errors.h>

// Every error class has the same members: the message constructor, copy and
// move (both copy the message, which std::runtime_error shares without
// throwing) and the out-of-line destructor that anchors the type information
// in this library.
#define TARV_SEC_DEFINE_ERROR(Class, Base)                                                         \
    Class::Class(const std::string& message)                                                       \
        : Base(message)                                                                            \
    {}                                                                                             \
    Class::Class(const Class& other) noexcept                                                      \
        : Base(other)                                                                              \
    {}                                                                                             \
    Class::Class(Class&& other) noexcept                                                           \
        : Class(static_cast<const Class&>(other))                                                  \
    {}                                                                                             \
    Class& Class::operator=(const Class& other) noexcept                                           \
    {                                                                                              \
        if (this != &other)                                                                        \
            Base::operator=(other);                                                                \
        return *this;                                                                              \
    }                                                                                              \
    Class& Class::operator=(Class&& other) noexcept                                                \
    {                                                                                              \
        return *this = static_cast<const Class&>(other);                                           \
    }                                                                                              \
    Class::~Class() = default;

namespace tarv_sec {

TARV_SEC_DEFINE_ERROR(TarvSecurityError, std::runtime_error)
TARV_SEC_DEFINE_ERROR(AesAuthenticationFailed, TarvSecurityError)
TARV_SEC_DEFINE_ERROR(RsaDecryptFailed, TarvSecurityError)
TARV_SEC_DEFINE_ERROR(RsaKeyValidationFailed, TarvSecurityError)
TARV_SEC_DEFINE_ERROR(RsaVerifyFailed, TarvSecurityError)
TARV_SEC_DEFINE_ERROR(CipherStreamWriteError, std::runtime_error)

} // namespace tarv_sec

#undef TARV_SEC_DEFINE_ERROR
