#pragma once

// Everything else in the library is hidden; the interface is marked with
// TARV_SECURITY_EXPORT. Helpers of exported classes that are not part of the
// interface are marked TARV_SECURITY_NO_EXPORT, so callers cannot come to
// rely on them.
#if defined(_WIN32)
#if defined(TARV_SECURITY_BUILDING)
#define TARV_SECURITY_EXPORT __declspec(dllexport)
#else
#define TARV_SECURITY_EXPORT __declspec(dllimport)
#endif
#else
#define TARV_SECURITY_EXPORT __attribute__((visibility("default")))
#endif

#if defined(_WIN32)
#define TARV_SECURITY_NO_EXPORT
#else
#define TARV_SECURITY_NO_EXPORT __attribute__((visibility("hidden")))
#endif
