# Settings shared by every target, so warnings, language level and symbol
# visibility are the same everywhere.

set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)

# Only what a library marks for export leaves it.
set(CMAKE_CXX_VISIBILITY_PRESET hidden)
set(CMAKE_VISIBILITY_INLINES_HIDDEN ON)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
endif()

if(MSVC)
  add_compile_options(/W4 /WX /utf-8)
else()
  add_compile_options(-Wall -Wextra -Werror)
endif()

option(TARV_BUILD_TESTS "Build the tests" ON)
option(TARV_BUILD_BENCHMARKS "Build the benchmarks (built, never run by CTest)" ON)
option(TARV_BUILD_FUZZERS "Build the libFuzzer targets (needs clang)" OFF)
option(TARV_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(TARV_BUILD_FUZZERS)
  # Coverage instrumentation for everything the fuzzers link.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(TARV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

include(TarvTesting)
