#pragma once

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QVariantMap>
#include <string>

class QQmlEngine;
class QQuickItem;
// Qt Quick's close event is private API: slots may only carry it as an
// opaque pointer.
class QQuickCloseEvent;
Q_DECLARE_OPAQUE_POINTER(QQuickCloseEvent*)

namespace tarv::qt {

// Base of the window controllers: creates one QML window (or item) from its
// document on the shared engine, with its initial properties in place before
// the document's bindings complete, and owns it. A failed creation leaves
// Window() null and is reported on standard error; every user of Window()
// must allow for that.
class QmlController : public QObject
{
    Q_OBJECT

public:
    QmlController(QQmlEngine* engine, const QUrl& url, QQuickItem* parent, bool ownsWindow,
                  const QVariantMap& initialProperties);
    ~QmlController() override;

    QmlController(const QmlController&) = delete;
    QmlController& operator=(const QmlController&) = delete;

    QObject* Window() const;

signals:
    void information(std::string message, std::string title);
    void error(std::string message, std::string title);

public slots:
    void Closing_(QQuickCloseEvent* event);

private:
    void ReleaseWindow();

    QQmlEngine* m_engine = nullptr;
    // Guarded: the window may die with its QObject parent before the
    // controller does.
    QPointer<QObject> m_window;
    bool m_ownsWindow = true;
};

} // namespace tarv::qt
