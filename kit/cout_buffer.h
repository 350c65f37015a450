#pragma once

#include <kit/kit_export.h>
#include <ostream>
#include <sstream>

namespace kit {

// Ends the line collected in a CoutBuffer.
struct EndlT
{
};

inline constexpr EndlT endl{};

// Collects text and hands each finished line to standard output in a single
// write, so lines from several threads never interleave mid-line.
class KIT_EXPORT CoutBuffer : public std::ostream
{
public:
    CoutBuffer();
    CoutBuffer(const CoutBuffer&) = delete;
    CoutBuffer& operator=(const CoutBuffer&) = delete;
    // Text left without a line end still goes out as a line.
    ~CoutBuffer() override;

    CoutBuffer& operator<<(EndlT);

    // Anything a std::ostream takes, returning the buffer so that a chain can
    // end with kit::endl.
    template <class T>
    CoutBuffer& operator<<(const T& value)
    {
        static_cast<std::ostream&>(*this) << value;
        return *this;
    }

private:
    KIT_NO_EXPORT void EmitLine();

    std::stringbuf m_line;
};

} // namespace kit
