#include <kit/errors.h>

namespace kit {

RuntimeError::RuntimeError(const std::string& message)
    : std::runtime_error(message)
{}

RuntimeError::RuntimeError(const RuntimeError& other) noexcept = default;
RuntimeError& RuntimeError::operator=(const RuntimeError& other) noexcept = default;
RuntimeError::~RuntimeError() = default;

IoError::IoError(const std::string& message)
    : RuntimeError(message)
{}

IoError::IoError(const IoError& other) noexcept = default;
IoError& IoError::operator=(const IoError& other) noexcept = default;
IoError::~IoError() = default;

} // namespace kit
