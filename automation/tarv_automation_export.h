#pragma once

#include <QtCore/qglobal.h>

// The program exports the automation engine's document, audio event, result
// and repository classes (with their bases) so that plug-ins and tools built
// against it can use them. The library is static and linked into the program,
// so exporting from here is exporting from the program.
#define TARV_AUTOMATION_EXPORT Q_DECL_EXPORT
