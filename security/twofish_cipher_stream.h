#pragma once

#include <security/cipher_stream.h>

namespace tarv_sec {

// A document stored as Twofish-CFB ciphertext, unauthenticated (see
// twofish_cfb.h): altered or truncated files decrypt to garbage without any
// error. Nor does it hide what changed between saves: saving twice with the
// same key and IV exposes the XOR of the two documents. Give every save a
// fresh IV (SetInitVector) and keep it with the file.
//
// The file layout is asymmetric, and stored files rely on it: WriteToFile
// writes the ciphertext alone, never the IV, while loading a file with a key
// but an empty IV takes the IV from the file's first 16 bytes. A caller that
// writes files must keep the IV itself and pass it when reloading.
//
// Without a key, files and data pass through unchanged. With a key, an IV of
// 16 bytes is required to write: a key without an IV is refused rather than
// written as plaintext.
class TARV_SECURITY_EXPORT TwoFishCipherStream : public CipherStream
{
public:
    TwoFishCipherStream();
    // Loads the file at the UTF-8 `path` (an empty path leaves the buffer
    // empty). With a key and an empty IV, the file's first 16 bytes are the
    // IV, which this object then keeps. kit::IoError when the file cannot be
    // read; std::runtime_error when it is shorter than that IV or does not
    // decrypt to its full length.
    TwoFishCipherStream(const std::string& path, const std::vector<uint8_t>& key,
                        const std::vector<uint8_t>& iv);
    // The same from `in`'s current read position to its end.
    TwoFishCipherStream(std::istream& in, const std::vector<uint8_t>& key,
                        const std::vector<uint8_t>& iv);
    // Decrypts `data` with the given IV, or copies it unchanged when the key
    // or the IV is empty; the IV is never taken from the data.
    TwoFishCipherStream(const std::vector<uint8_t>& data, const std::vector<uint8_t>& key,
                        const std::vector<uint8_t>& iv);
    TwoFishCipherStream(TwoFishCipherStream&& other);
    TwoFishCipherStream& operator=(TwoFishCipherStream&& other);
    ~TwoFishCipherStream() override;

    void SetInitVector(const std::vector<uint8_t>& iv);

    // The ciphertext (without IV) of the buffer from its read position, in a
    // vector as long as the whole buffer: bytes before the read position
    // leave a zero tail. Moves the write position to the start; the read
    // position ends where the data did. CipherStreamWriteError when there is
    // a key but no IV.
    [[nodiscard]] std::vector<uint8_t> GetEncryptedBytes();

    // Writes the buffer from its read position: ciphertext only, or the
    // plaintext when there is no key. CipherStreamWriteError for a key
    // without IV or data too large, before any file is touched, and when
    // writing fails; kit::IoError when the file cannot be created.
    void WriteToFile(const std::string& path) override;

private:
    TARV_SECURITY_NO_EXPORT bool Encrypts() const;
    TARV_SECURITY_NO_EXPORT void CheckCanEncrypt() const;
    // Reads (and with a key decrypts) the rest of `in`, of about `expected`
    // bytes, into the buffer.
    TARV_SECURITY_NO_EXPORT void Load(std::istream& in, std::size_t expected);

    std::vector<uint8_t> m_iv;
};

} // namespace tarv_sec
