#include "qt/qmlcontroller.h"

#include <iostream>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlError>
#include <QQuickItem>
#include <QQuickWindow>

namespace tarv::qt {

namespace {

void writeErrors(const QList<QQmlError>& errors)
{
    for (const QQmlError& error : errors)
        std::cerr << error.toString().toStdString() << "\n";
}

} // namespace

QmlController::QmlController(QQmlEngine* engine, const QUrl& url, QQuickItem* parent,
                             bool ownsWindow, const QVariantMap& initialProperties)
    : m_engine(engine)
{
    if (!m_engine) {
        std::cerr << "No QML engine to create " << url.toString().toStdString() << "\n";
        return;
    }
    QQmlComponent component(m_engine, url, parent);
    if (component.isError()) {
        writeErrors(component.errors());
        return;
    }

    m_window = component.beginCreate(m_engine->rootContext());
    if (!m_window) {
        std::cerr << "Failed to create " << url.toString().toStdString() << "\n";
        writeErrors(component.errors());
        m_ownsWindow = false;
        return;
    }
    component.setInitialProperties(m_window.data(), initialProperties);
    m_ownsWindow = ownsWindow;

    if (parent) {
        m_window->setParent(parent);
        if (auto* window = qobject_cast<QWindow*>(m_window)) {
            // A transient parent must be a window: only then does a modal
            // window block its owner and stay above it.
            window->setTransientParent(parent->window());
        } else if (auto* item = qobject_cast<QQuickItem*>(m_window)) {
            item->setParentItem(parent);
        }
    }
    component.completeCreate();
}

QmlController::~QmlController()
{
    ReleaseWindow();
}

QObject* QmlController::Window() const
{
    return m_window;
}

void QmlController::Closing_(QQuickCloseEvent*)
{
    ReleaseWindow();
}

void QmlController::ReleaseWindow()
{
    if (m_window && m_ownsWindow) {
        m_window->deleteLater();
        m_window = nullptr;
    }
}

} // namespace tarv::qt
