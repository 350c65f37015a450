#pragma once

// The kit stand-in is compiled into the security library, so its classes are
// exported from that library: callers must be able to catch kit errors by type
// across the shared library's boundary, which needs default visibility and the
// type information emitted inside the library.
#if defined(_WIN32)
#if defined(TARV_SECURITY_BUILDING)
#define KIT_EXPORT __declspec(dllexport)
#else
#define KIT_EXPORT __declspec(dllimport)
#endif
#else
#define KIT_EXPORT __attribute__((visibility("default")))
#endif

// Helpers of exported classes that are not part of kit's interface.
#if defined(_WIN32)
#define KIT_NO_EXPORT
#else
#define KIT_NO_EXPORT __attribute__((visibility("hidden")))
#endif
