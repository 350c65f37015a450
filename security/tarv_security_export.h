#pragma once

// Everything else in the library is hidden; the interface is marked with
// TARV_SECURITY_EXPORT.
#if defined(_WIN32)
#if defined(TARV_SECURITY_BUILDING)
#define TARV_SECURITY_EXPORT __declspec(dllexport)
#else
#define TARV_SECURITY_EXPORT __declspec(dllimport)
#endif
#else
#define TARV_SECURITY_EXPORT __attribute__((visibility("default")))
#endif
