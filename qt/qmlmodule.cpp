#include "qt/qmlmodule.h"

#include <QDebug>
#include <QFile>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QStringList>
#include <stdexcept>

namespace tarv::qt {

namespace {

QString moduleFolder(const QString& moduleUri)
{
    return QStringLiteral(":/qt/qml/") + QString(moduleUri).replace(u'.', u'/') + u'/';
}

// The file that a qmldir type entry names, or an empty string when `line` is
// not an entry for `typeName`. Entries read "<Type> <version> <file>" or
// "singleton <Type> <version> <file>"; internal types are not importable and
// so not loadable by name either.
QString documentOfEntry(const QString& line, const QString& typeName)
{
    QStringList words = line.split(u' ', Qt::SkipEmptyParts);
    if (!words.isEmpty() && words.first() == QLatin1String("singleton"))
        words.removeFirst();
    if (words.size() != 3 || words.at(0) != typeName)
        return {};
    const QString& file = words.at(2);
    return file.endsWith(QLatin1String(".qml")) ? file : QString();
}

} // namespace

QUrl ModuleDocumentUrl(const QString& moduleUri, const QString& typeName)
{
    const QString folder = moduleFolder(moduleUri);
    QFile qmldir(folder + QStringLiteral("qmldir"));
    if (!qmldir.open(QIODevice::ReadOnly | QIODevice::Text))
        throw std::runtime_error("QML module \"" + moduleUri.toStdString() +
                                 "\" is not part of this program");

    while (!qmldir.atEnd()) {
        const QString line = QString::fromUtf8(qmldir.readLine()).trimmed();
        const QString file = documentOfEntry(line, typeName);
        if (!file.isEmpty())
            return QUrl(QStringLiteral("qrc") + folder + file);
    }
    throw std::runtime_error("QML module \"" + moduleUri.toStdString() + "\" has no type \"" +
                             typeName.toStdString() + "\"");
}

void LoadFromModule(QQmlComponent& component, const QString& moduleUri, const QString& typeName)
{
    component.loadUrl(ModuleDocumentUrl(moduleUri, typeName), QQmlComponent::PreferSynchronous);
}

QObject* CreateFromModule(QQmlEngine& engine, const QString& moduleUri, const QString& typeName)
{
    QQmlComponent component(&engine);
    try {
        LoadFromModule(component, moduleUri, typeName);
    } catch (const std::exception& error) {
        qCritical() << error.what();
        return nullptr;
    }
    QObject* object = component.isError() ? nullptr : component.create();
    if (object == nullptr) {
        for (const QQmlError& error : component.errors())
            qCritical() << error;
    }
    return object;
}

} // namespace tarv::qt
