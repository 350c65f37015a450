#pragma once

#include <kit/kit_export.h>
#include <stdexcept>
#include <string>

namespace kit {

// Base of kit's failures. The destructor is defined out of line so that the
// vtable and type information live in exactly one library.
class KIT_EXPORT RuntimeError : public std::runtime_error
{
public:
    explicit RuntimeError(const std::string& message);
    RuntimeError(const RuntimeError& other) noexcept;
    RuntimeError& operator=(const RuntimeError& other) noexcept;
    ~RuntimeError() override;
};

// A file or stream that cannot be read or written.
class KIT_EXPORT IoError : public RuntimeError
{
public:
    explicit IoError(const std::string& message);
    IoError(const IoError& other) noexcept;
    IoError& operator=(const IoError& other) noexcept;
    ~IoError() override;
};

} // namespace kit
