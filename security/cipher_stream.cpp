#include <crypto++/files.h>
#include <cstdint>
#include <kit/errors.h>
#include <kit/format.h>
#include <security/cipher_stream.h>
#include <security/errors.h>
#include <security/internal/replacing_file.h>
#include <security/internal/wiping.h>
#include <stdexcept>

namespace tarv_sec {

namespace {

const char* Flag(bool value)
{
    return value ? "true" : "false";
}

CipherStreamWriteError WriteFailure(const std::ios& file, const std::string& cause)
{
    return CipherStreamWriteError(kit::format(
        "WriteToFile failed with good()=%s, eof()=%s, fail()=%s, bad()=%s, %s", Flag(file.good()),
        Flag(file.eof()), Flag(file.fail()), Flag(file.bad()), cause.c_str()));
}

std::unique_ptr<std::stringstream> MakeBuffer()
{
    return std::make_unique<std::stringstream>(std::ios::in | std::ios::out | std::ios::binary);
}

// The buffer holds the decrypted document: it is wiped before its memory is
// given back.
void WipeBuffer(std::stringstream* buffer)
{
    if (buffer == nullptr) {
        return;
    }
    const std::string_view content = buffer->view();
    CryptoPP::SecureWipeBuffer(const_cast<char*>(content.data()), content.size());
}

} // namespace

CipherStream::CipherStream(const std::vector<uint8_t>& key)
    : m_stream(MakeBuffer())
    , m_key(key)
{}

CipherStream::CipherStream(CipherStream&& other)
    : m_stream(std::move(other.m_stream))
    , m_key(other.m_key)
{}

CipherStream& CipherStream::operator=(CipherStream&& other)
{
    if (this != &other) {
        WipeBuffer(m_stream.get());
        m_stream = std::move(other.m_stream);
        SetEncryptionKey(other.m_key);
    }
    return *this;
}

CipherStream::~CipherStream()
{
    WipeBuffer(m_stream.get());
    Wipe(m_key);
}

std::stringstream& CipherStream::GetStream()
{
    return const_cast<std::stringstream&>(Buffer());
}

unsigned long CipherStream::GetDataSize() const
{
    return static_cast<unsigned long>(Buffer().view().size());
}

void CipherStream::SetEncryptionKey(const std::vector<uint8_t>& key)
{
    if (&key == &m_key) {
        return;
    }
    // Assigning in place could keep the old key's bytes beyond the new size.
    Wipe(m_key);
    m_key = key;
}

void CipherStream::CheckWritableSize(unsigned long long largest) const
{
    const unsigned long long size = Buffer().view().size();
    if (size > largest) {
        throw CipherStreamWriteError(
            kit::format("Unable to write %llu bytes: the limit is %llu.", size, largest));
    }
}

void CipherStream::WriteFileWith(const std::string& path,
                                 const std::function<void(std::ostream&)>& write)
{
    ReplacingFile file(path, ReplacingFile::Access::Default);
    std::ostream& out = file.Stream();
    try {
        write(out);
    } catch (const CryptoPP::FileSink::Err& error) {
        throw WriteFailure(out, error.what());
    } catch (const kit::IoError& error) {
        throw WriteFailure(out, error.what());
    }
    out.flush();
    if (!out.good()) {
        throw WriteFailure(out, "unable to flush " + path);
    }
    file.Commit();
}

void CipherStream::Adopt(std::string&& content)
{
    std::stringstream& buffer = GetStream();
    WipeBuffer(&buffer);
    buffer.str(std::move(content));
    buffer.seekp(0, std::ios::end);
}

const std::stringstream& CipherStream::Buffer() const
{
    if (!m_stream) {
        throw std::logic_error("CipherStream used after it was moved from.");
    }
    return *m_stream;
}

} // namespace tarv_sec
