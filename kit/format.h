#pragma once

#include <kit/kit_export.h>
#include <string>

namespace kit {

// printf-style formatting into a string. The format attribute lets the
// compiler check every argument against its conversion, so a size_t handed to
// "%d" is a build error rather than undefined behaviour.
#if defined(__GNUC__)
KIT_EXPORT std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
#else
KIT_EXPORT std::string format(const char* fmt, ...);
#endif

} // namespace kit
