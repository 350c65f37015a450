#pragma once

#include "controllertesthelpers.h"
#include "qt/qmlcontroller.h"

#include <memory>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
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

// The newest visible window of the QML document type `document`.
inline QQuickWindow* NewestWindow(const char* document)
{
    QQuickWindow* found = nullptr;
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (window->isVisible() &&
            QString::fromLatin1(window->metaObject()->className()).startsWith(document)) {
            found = qobject_cast<QQuickWindow*>(window);
        }
    }
    return found;
}

// The main controller over a plain main window, with the engine it opens its
// windows on; torn down controller first, engine last.
struct ControllerOverMainWindow
{
    ControllerOverMainWindow()
    {
        UseListenPort(FreeUdpPort());
        engine->addImportPath(QStringLiteral("qrc:/qt/qml"));
        mainWindow->show();
        controller = std::make_unique<StartedController>(mainWindow->contentItem());
        (*controller)->setEngine(engine.get());
    }

    ~ControllerOverMainWindow()
    {
        controller.reset();
        mainWindow.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        engine.reset();
    }

    ControllerOverMainWindow(const ControllerOverMainWindow&) = delete;
    ControllerOverMainWindow& operator=(const ControllerOverMainWindow&) = delete;

    automation::AutomationController& Controller() const { return **controller; }

    std::unique_ptr<QQmlApplicationEngine> engine = std::make_unique<QQmlApplicationEngine>();
    std::unique_ptr<QQuickWindow> mainWindow = std::make_unique<QQuickWindow>();
    std::unique_ptr<StartedController> controller;
};

} // namespace tarv::testing
