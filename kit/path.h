#pragma once

#include <initializer_list>
#include <kit/kit_export.h>
#include <string>

namespace kit::path {

// Joins path components with one separator between them; empty components
// are skipped and a component that already ends in a separator gets no second
// one.
KIT_EXPORT std::string Join(std::initializer_list<std::string> parts);

} // namespace kit::path
