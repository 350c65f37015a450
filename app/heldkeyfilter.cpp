#include "app/heldkeyfilter.h"

#include <algorithm>
#include <initializer_list>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethodQueryEvent>
#include <QtGui/qguiapplication_platform.h>

#ifdef TARV_HAVE_X11
#include <X11/keysym.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>
#endif

#ifdef TARV_HAVE_X11
namespace {

// Whether the item with the keyboard focus takes typed text, as text fields
// tell the input method.
bool FocusEditsText()
{
    QObject* focus = QGuiApplication::focusObject();
    if (focus == nullptr) {
        return false;
    }
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QCoreApplication::sendEvent(focus, &query);
    return query.value(Qt::ImEnabled).toBool();
}

} // namespace
#endif

void HeldKeyFilter::InstallOnX11()
{
#ifdef TARV_HAVE_X11
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->display() == nullptr) {
        return;
    }
    const auto keycodesOf = [x11](std::initializer_list<KeySym> symbols) {
        std::vector<std::uint8_t> keycodes;
        for (const KeySym symbol : symbols) {
            if (const KeyCode code = XKeysymToKeycode(x11->display(), symbol); code != 0) {
                keycodes.push_back(code);
            }
        }
        return keycodes;
    };
    // Lives as long as the process: the application keeps a plain pointer.
    static HeldKeyFilter filter(keycodesOf({XK_space, XK_Escape}), keycodesOf({XK_BackSpace}),
                                FocusEditsText);
    QCoreApplication::instance()->installNativeEventFilter(&filter);
#endif
}

HeldKeyFilter::HeldKeyFilter(std::vector<std::uint8_t> keycodes,
                             std::vector<std::uint8_t> editingKeycodes,
                             std::function<bool()> editingText)
    : m_keycodes(std::move(keycodes))
    , m_editingKeycodes(std::move(editingKeycodes))
    , m_editingText(std::move(editingText))
{}

bool HeldKeyFilter::Guarded(std::uint8_t keycode) const
{
    const auto among = [keycode](const std::vector<std::uint8_t>& keycodes) {
        return std::find(keycodes.begin(), keycodes.end(), keycode) != keycodes.end();
    };
    return among(m_keycodes) || (among(m_editingKeycodes) && !(m_editingText && m_editingText()));
}

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
    const bool guarded = Guarded(key->detail);
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
