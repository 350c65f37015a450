#include "app/heldkeyfilter.h"

#include <algorithm>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#ifdef TARV_HAVE_X11
#include <X11/keysym.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>
#endif

void HeldKeyFilter::InstallOnX11()
{
#ifdef TARV_HAVE_X11
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->display() == nullptr) {
        return;
    }
    std::vector<std::uint8_t> keycodes;
    for (const KeySym symbol : {XK_space, XK_Escape}) {
        if (const KeyCode code = XKeysymToKeycode(x11->display(), symbol); code != 0) {
            keycodes.push_back(code);
        }
    }
    // Lives as long as the process: the application keeps a plain pointer.
    static HeldKeyFilter filter(std::move(keycodes));
    QCoreApplication::instance()->installNativeEventFilter(&filter);
#endif
}

HeldKeyFilter::HeldKeyFilter(std::vector<std::uint8_t> keycodes)
    : m_keycodes(std::move(keycodes))
{}

bool HeldKeyFilter::nativeEventFilter(const QByteArray& eventType, void* message,
                                      qintptr* /*result*/)
{
#ifdef TARV_HAVE_X11
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const auto kind = event->response_type & 0x7F;
    if (kind != XCB_KEY_PRESS && kind != XCB_KEY_RELEASE) {
        return false;
    }
    const auto* key = static_cast<const xcb_key_press_event_t*>(message);
    const bool guarded =
        std::find(m_keycodes.begin(), m_keycodes.end(), key->detail) != m_keycodes.end();
    if (kind == XCB_KEY_RELEASE) {
        m_releasedKeycode = guarded ? key->detail : 0;
        m_releasedAt = key->time;
        return false;
    }
    const bool repeated = guarded && key->detail == m_releasedKeycode && key->time == m_releasedAt;
    m_releasedKeycode = 0;
    return repeated;
#else
    Q_UNUSED(eventType);
    Q_UNUSED(message);
    return false;
#endif
}
