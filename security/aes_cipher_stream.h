#pragma once

#include <security/cipher_stream.h>

namespace tarv_sec {

// A document stored as a sealed AES-CCM blob: nonce (12) || ciphertext ||
// tag (16). Loading verifies the tag before the buffer is filled; every write
// uses a fresh nonce.
class TARV_SECURITY_EXPORT AesCipherStream : public CipherStream
{
public:
    AesCipherStream();
    // Loads and decrypts the file at the UTF-8 `path`. kit::IoError when it
    // cannot be read; AesAuthenticationFailed when it is too short to hold a
    // nonce and a tag or its tag does not verify.
    AesCipherStream(const std::string& path, const std::vector<uint8_t>& key);
    // The same, from `in`'s current read position to its end.
    AesCipherStream(std::istream& in, const std::vector<uint8_t>& key);
    AesCipherStream(AesCipherStream&& other);
    ~AesCipherStream() override;

    // Writes the whole buffer, wherever its read position is, sealed under
    // the key. CipherStreamWriteError when there is no key or the data is too
    // large, before any file is touched, or when writing fails;
    // kit::IoError when the file cannot be created.
    void WriteToFile(const std::string& path) override;

private:
    TARV_SECURITY_NO_EXPORT void Load(std::istream& in);
};

} // namespace tarv_sec
