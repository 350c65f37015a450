#include "qt/dialogwindowcontroller.h"

#include "qt/qmlmodule.h"

#include <exception>
#include <iostream>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQmlError>
#include <QQuickItem>
#include <QQuickWindow>
#include <QString>
#include <QVariantMap>
#include <QWindow>

namespace tarv::qt {

namespace {

void registerDialogType()
{
    qRegisterMetaType<DialogWindowController::DialogType>();
}
Q_CONSTRUCTOR_FUNCTION(registerDialogType)

QString typeWord(DialogWindowController::DialogType type)
{
    switch (type) {
    case DialogWindowController::Error:
        return QStringLiteral("error");
    case DialogWindowController::Warning:
        return QStringLiteral("warning");
    default:
        return QStringLiteral("info");
    }
}

// The window the message belongs to: the owner's own window when the owner
// is one or sits in one, else whichever window the operator is using.
QWindow* ownerWindow(QObject* parent)
{
    if (auto* window = qobject_cast<QWindow*>(parent))
        return window;
    if (auto* item = qobject_cast<QQuickItem*>(parent); item && item->window())
        return item->window();
    return QGuiApplication::focusWindow();
}

} // namespace

DialogWindowController::DialogWindowController(std::string text, std::string title, DialogType type,
                                               QObject* parent, QQmlEngine* engine)
    : QObject(parent)
{
    if (!engine) {
        std::cerr << "No QML engine to show the message \"" << title << "\"\n";
        return;
    }
    QQmlComponent component(engine);
    try {
        LoadFromModule(component, QStringLiteral("com.quillonworks.automation_tool_ui"),
                       QStringLiteral("FlatDialogWindow"));
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return;
    }
    if (component.isError()) {
        for (const QQmlError& error : component.errors())
            std::cerr << error.toString().toStdString() << "\n";
        return;
    }

    const QVariantMap properties{
        {QStringLiteral("title"), QString::fromStdString(title)},
        {QStringLiteral("text"), QString::fromStdString(text)},
        {QStringLiteral("type"), typeWord(type)},
    };
    m_window = component.createWithInitialProperties(properties);
    if (!m_window) {
        for (const QQmlError& error : component.errors())
            std::cerr << error.toString().toStdString() << "\n";
        return;
    }
    if (auto* window = qobject_cast<QWindow*>(m_window)) {
        window->setTransientParent(ownerWindow(parent));
        // A hidden window keeps its renderer and graphics memory, several
        // megabytes: a message that has been read goes for good.
        QObject::connect(window, &QWindow::visibleChanged, window, [window](bool visible) {
            if (!visible)
                window->deleteLater();
        });
    }
    m_window->setProperty("visible", true);
}

} // namespace tarv::qt
