#pragma once

#include <security/tarv_security_export.h>
#include <stdexcept>
#include <string>

namespace tarv_sec {

// The library's own failures. Each class carries only its message; the
// destructors are defined in the library so that the type information callers
// catch against is the library's.

// Common base of the library's errors; never thrown itself.
class TARV_SECURITY_EXPORT TarvSecurityError : public std::runtime_error
{
public:
    explicit TarvSecurityError(const std::string& message);
    TarvSecurityError(const TarvSecurityError& other) noexcept;
    TarvSecurityError(TarvSecurityError&& other) noexcept;
    TarvSecurityError& operator=(const TarvSecurityError& other) noexcept;
    TarvSecurityError& operator=(TarvSecurityError&& other) noexcept;
    ~TarvSecurityError() override;
};

// An AES-CCM tag did not verify.
class TARV_SECURITY_EXPORT AesAuthenticationFailed : public TarvSecurityError
{
public:
    explicit AesAuthenticationFailed(const std::string& message);
    AesAuthenticationFailed(const AesAuthenticationFailed& other) noexcept;
    AesAuthenticationFailed(AesAuthenticationFailed&& other) noexcept;
    AesAuthenticationFailed& operator=(const AesAuthenticationFailed& other) noexcept;
    AesAuthenticationFailed& operator=(AesAuthenticationFailed&& other) noexcept;
    ~AesAuthenticationFailed() override;
};

// RSA ciphertext that cannot be split into whole blocks.
class TARV_SECURITY_EXPORT RsaDecryptFailed : public TarvSecurityError
{
public:
    explicit RsaDecryptFailed(const std::string& message);
    RsaDecryptFailed(const RsaDecryptFailed& other) noexcept;
    RsaDecryptFailed(RsaDecryptFailed&& other) noexcept;
    RsaDecryptFailed& operator=(const RsaDecryptFailed& other) noexcept;
    RsaDecryptFailed& operator=(RsaDecryptFailed&& other) noexcept;
    ~RsaDecryptFailed() override;
};

// An RSA key that does not pass validation.
class TARV_SECURITY_EXPORT RsaKeyValidationFailed : public TarvSecurityError
{
public:
    explicit RsaKeyValidationFailed(const std::string& message);
    RsaKeyValidationFailed(const RsaKeyValidationFailed& other) noexcept;
    RsaKeyValidationFailed(RsaKeyValidationFailed&& other) noexcept;
    RsaKeyValidationFailed& operator=(const RsaKeyValidationFailed& other) noexcept;
    RsaKeyValidationFailed& operator=(RsaKeyValidationFailed&& other) noexcept;
    ~RsaKeyValidationFailed() override;
};

// A signed message whose signature does not verify.
class TARV_SECURITY_EXPORT RsaVerifyFailed : public TarvSecurityError
{
public:
    explicit RsaVerifyFailed(const std::string& message);
    RsaVerifyFailed(const RsaVerifyFailed& other) noexcept;
    RsaVerifyFailed(RsaVerifyFailed&& other) noexcept;
    RsaVerifyFailed& operator=(const RsaVerifyFailed& other) noexcept;
    RsaVerifyFailed& operator=(RsaVerifyFailed&& other) noexcept;
    ~RsaVerifyFailed() override;
};

// A cipher stream that cannot write its file. Deliberately not a
// TarvSecurityError: callers catch it as std::runtime_error.
class TARV_SECURITY_EXPORT CipherStreamWriteError : public std::runtime_error
{
public:
    explicit CipherStreamWriteError(const std::string& message);
    CipherStreamWriteError(const CipherStreamWriteError& other) noexcept;
    CipherStreamWriteError(CipherStreamWriteError&& other) noexcept;
    CipherStreamWriteError& operator=(const CipherStreamWriteError& other) noexcept;
    CipherStreamWriteError& operator=(CipherStreamWriteError&& other) noexcept;
    ~CipherStreamWriteError() override;
};

} // namespace tarv_sec
