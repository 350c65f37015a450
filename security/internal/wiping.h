#pragma once

#include <crypto++/misc.h>

namespace tarv_sec {

// Overwrites bytes that held a key or plaintext, so that they do not linger in
// freed memory where a later allocation or a core dump could expose them.
template <class Container>
void Wipe(Container& data)
{
    CryptoPP::SecureWipeBuffer(data.data(), data.size());
}

// Wipes a buffer of secret bytes when it goes out of scope, on every path out:
// return, refusal or exception. A buffer moved into the caller's hands is
// empty by then and left alone.
template <class Container>
class WipeOnRelease
{
public:
    explicit WipeOnRelease(Container& data)
        : m_data(data)
    {}
    WipeOnRelease(const WipeOnRelease&) = delete;
    WipeOnRelease& operator=(const WipeOnRelease&) = delete;
    ~WipeOnRelease() { Wipe(m_data); }

private:
    Container& m_data;
};

} // namespace tarv_sec
