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

    // Hides the stream's own insertion members: text goes in through the
    // ordinary free insertion operators, as with any std::ostream.
    CoutBuffer& operator<<(EndlT);

private:
    void EmitLine();

    std::stringbuf m_line;
};

} // namespace kit
