#include "app/queuedkeyfilter.h"

#include <cstdlib>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#ifdef TARV_HAVE_X11
#include <X11/keysym.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

namespace {

QueuedKeyFilter* g_installed = nullptr;

} // namespace
#endif

void QueuedKeyFilter::InstallOnX11()
{
#ifdef TARV_HAVE_X11
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->display() == nullptr) {
        return;
    }
    const KeyCode space = XKeysymToKeycode(x11->display(), XK_space);
    if (space == 0) {
        return;
    }
    // Lives as long as the process: the application keeps a plain pointer.
    static QueuedKeyFilter filter(space);
    QCoreApplication::instance()->installNativeEventFilter(&filter);
    g_installed = &filter;
#endif
}

void QueuedKeyFilter::DropQueuedPresses()
{
#ifdef TARV_HAVE_X11
    if (g_installed == nullptr) {
        return;
    }
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (connection == nullptr) {
        return;
    }
    // Any request with a reply will do: once the reply is here, every event
    // the server made before handling the request carries an earlier number.
    const xcb_get_input_focus_cookie_t cookie = xcb_get_input_focus(connection);
    std::free(xcb_get_input_focus_reply(connection, cookie, nullptr));
    g_installed->DropPressesBefore(static_cast<std::uint16_t>(cookie.sequence));
#endif
}

QueuedKeyFilter::QueuedKeyFilter(std::uint8_t keycode)
    : m_keycode(keycode)
{}

void QueuedKeyFilter::DropPressesBefore(std::uint16_t sequence)
{
    m_mark = sequence;
}

bool QueuedKeyFilter::nativeEventFilter(const QByteArray& eventType, void* message,
                                        qintptr* /*result*/)
{
#ifdef TARV_HAVE_X11
    if (!m_mark || eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    // The numbers are the low 16 bits of a running count: compared by their
    // difference, they stay in order across the wrap.
    const bool earlier = static_cast<std::int16_t>(event->sequence - *m_mark) < 0;
    if (!earlier) {
        m_mark.reset();
        return false;
    }
    const auto kind = event->response_type & 0x7F;
    return kind == XCB_KEY_PRESS &&
           static_cast<const xcb_key_press_event_t*>(message)->detail == m_keycode;
#else
    Q_UNUSED(eventType);
    Q_UNUSED(message);
    return false;
#endif
}
