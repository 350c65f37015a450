#pragma once

#include <iostream>
#include <sstream>
#include <string>

// Collects what is written to std::cerr while it lives.
class StderrCapture
{
public:
    StderrCapture()
        : m_previous(std::cerr.rdbuf(m_buffer.rdbuf()))
    {}
    ~StderrCapture() { std::cerr.rdbuf(m_previous); }

    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    std::string Text() const { return m_buffer.str(); }

private:
    std::ostringstream m_buffer;
    std::streambuf* m_previous;
};
