#pragma once

#include <QString>
#include <QUrl>

class QObject;
class QQmlComponent;
class QQmlEngine;

namespace tarv::qt {

// The program's QML modules are compiled into it under "qrc:/qt/qml/<uri as
// path>/". Qt 6.4 cannot load a component by module and type name
// (QQmlComponent::loadFromModule arrived in 6.5), so these functions look the
// type up in the module's own generated qmldir, which lists every document of
// the module, subfolders included.

// The resource URL of the document that defines `typeName` in the module
// `moduleUri` (for example "com.quillonworks.automation_tool_ui" and
// "FlatInputWindow"). Throws std::runtime_error naming the module and the type
// when the module is not part of the program or has no such type.
QUrl ModuleDocumentUrl(const QString& moduleUri, const QString& typeName);

// Loads that document into `component`, synchronously, as loadFromModule
// would. Throws as ModuleDocumentUrl does, leaving the component untouched;
// errors of the document itself are the component's (isError(), errors()).
void LoadFromModule(QQmlComponent& component, const QString& moduleUri, const QString& typeName);

// Creates the type's root object in the engine's root context. Never throws:
// a type that cannot be found or created is logged, and the result is null.
// The caller owns the object.
QObject* CreateFromModule(QQmlEngine& engine, const QString& moduleUri, const QString& typeName);

} // namespace tarv::qt
