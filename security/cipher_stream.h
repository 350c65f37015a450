#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <security/tarv_security_export.h>
#include <sstream>
#include <string>
#include <vector>

namespace tarv_sec {

// A decrypted document held in memory as a stream, which the caller reads and
// writes like any other, and which a subclass writes back to a file
// encrypted. Writing a file replaces it only once the whole new content is on
// disk: a refused or failed write leaves the previous file as it was. The
// plaintext buffer and the key are wiped when the object lets go of them.
// Loading decrypts into a buffer of the document's size that the stream takes
// over, so no copy of the plaintext is freed unwiped on the way; text the
// caller writes beyond the buffer's room grows it by std::stringstream's own
// means, which frees the outgrown copy unwiped.
//
// A moved-from object holds no buffer; every operation on it except
// destruction and assignment throws std::logic_error.
class TARV_SECURITY_EXPORT CipherStream
{
public:
    CipherStream(const CipherStream&) = delete;
    CipherStream& operator=(const CipherStream&) = delete;
    virtual ~CipherStream();

    virtual void WriteToFile(const std::string& path) = 0;

    // The plaintext buffer, for reading and writing.
    std::stringstream& GetStream();
    // Length of the whole buffer, wherever the read and write positions are.
    unsigned long GetDataSize() const;
    void SetEncryptionKey(const std::vector<uint8_t>& key);

protected:
    explicit CipherStream(const std::vector<uint8_t>& key = {});
    CipherStream(CipherStream&& other);
    CipherStream& operator=(CipherStream&& other);

    const std::vector<uint8_t>& Key() const { return m_key; }
    // Throws CipherStreamWriteError when the buffer holds more than `largest`
    // bytes, the most that the subclass's file format can store.
    TARV_SECURITY_NO_EXPORT void CheckWritableSize(unsigned long long largest) const;
    // Runs `write` on a file that replaces `path` once it succeeded. A write
    // failure inside a cipher pipeline becomes CipherStreamWriteError.
    TARV_SECURITY_NO_EXPORT static void
    WriteFileWith(const std::string& path, const std::function<void(std::ostream&)>& write);
    // Makes `content` the buffer, taking over its storage rather than copying
    // it; the previous content is wiped. Reading starts at its beginning,
    // writing continues after its end.
    TARV_SECURITY_NO_EXPORT void Adopt(std::string&& content);

private:
    TARV_SECURITY_NO_EXPORT const std::stringstream& Buffer() const;

    std::unique_ptr<std::stringstream> m_stream;
    std::vector<uint8_t> m_key;
};

} // namespace tarv_sec
