#include <cstdarg>
#include <cstdio>
#include <kit/format.h>
#include <stdexcept>

namespace kit {

std::string format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, fmt, measure);
    va_end(measure);
    if (length < 0) {
        va_end(args);
        throw std::invalid_argument("Invalid format string.");
    }
    std::string result(static_cast<std::size_t>(length), '\0');
    // The string's terminating character makes room for vsnprintf's own.
    std::vsnprintf(result.data(), result.size() + 1, fmt, args);
    va_end(args);
    return result;
}

} // namespace kit
