#include <kit/path.h>

namespace kit::path {

namespace {

bool IsSeparator(char c)
{
#if defined(_WIN32)
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

} // namespace

std::string Join(std::initializer_list<std::string> parts)
{
    std::string joined;
    for (const std::string& part : parts) {
        if (part.empty())
            continue;
        if (!joined.empty() && !IsSeparator(joined.back()))
            joined += '/';
        joined += part;
    }
    return joined;
}

} // namespace kit::path
