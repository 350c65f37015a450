#include <iostream>
#include <kit/cout_buffer.h>

namespace kit {

CoutBuffer::CoutBuffer()
    : std::ostream(nullptr)
{
    rdbuf(&m_line);
}

CoutBuffer::~CoutBuffer()
{
    if (!m_line.str().empty()) {
        try {
            EmitLine();
        } catch (...) {
            // A destructor must not throw; the line is lost.
        }
    }
}

CoutBuffer& CoutBuffer::operator<<(EndlT)
{
    EmitLine();
    return *this;
}

void CoutBuffer::EmitLine()
{
    std::string line = m_line.str();
    line += '\n';
    m_line.str({});
    std::cout.write(line.data(), static_cast<std::streamsize>(line.size()));
    std::cout.flush();
}

} // namespace kit
