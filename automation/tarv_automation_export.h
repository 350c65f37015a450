#pragma once

#include <QtCore/qglobal.h>

// The program exports the automation engine's document, audio event, result
// and repository classes (with their bases) so that plug-ins and tools built
// against it can use them. The library is static and linked into the program,
// so everything built with it exports; code built against the program's
// headers alone imports.
#if defined(TARV_AUTOMATION_LIBRARY)
#define TARV_AUTOMATION_EXPORT Q_DECL_EXPORT
#else
#define TARV_AUTOMATION_EXPORT Q_DECL_IMPORT
#endif
