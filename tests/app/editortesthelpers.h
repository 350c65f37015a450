#pragma once

#include "qt/qmlcontroller.h"

#include <memory>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QString>
#include <QTest>

namespace tarv::testing {

// An engine that finds the program's two QML modules, as the program's does.
inline std::unique_ptr<QQmlEngine> MakeEngine()
{
    auto engine = std::make_unique<QQmlEngine>();
    engine->addImportPath(QStringLiteral("qrc:/qt/qml"));
    return engine;
}

inline QQuickWindow* WindowOf(const qt::QmlController& controller)
{
    return qobject_cast<QQuickWindow*>(controller.Window());
}

// Makes `window` the one that receives keys, as a click on it would.
inline bool Activate(QQuickWindow* window)
{
    window->requestActivate();
    return QTest::qWaitForWindowActive(window) &&
           QTest::qWaitFor([window] { return window->activeFocusItem() != nullptr; });
}

inline QQuickItem* Child(QQuickWindow* window, const char* objectName)
{
    // Items of a window document are the QObject children of its root.
    return window->findChild<QQuickItem*>(QString::fromLatin1(objectName));
}

// Types into the item that holds the focus, replacing its selected text.
inline void Type(QQuickWindow* window, const QString& text)
{
    for (const QChar c : text) {
        QTest::keyClick(window, c.toLatin1());
    }
}

// Every visible message window with this title.
inline int MessageWindows(const QString& title, const QString& text)
{
    int count = 0;
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (window->isVisible() && window->property("title").toString() == title &&
            window->property("text").toString() == text) {
            ++count;
        }
    }
    return count;
}

} // namespace tarv::testing
