#pragma once

#include <cstdint>
#include <functional>
#include <QAbstractNativeEventFilter>
#include <vector>

// Keeps a held Space or Escape, or a held Backspace outside text fields,
// from reaching the program as fresh presses.
// X11 repeats a held key as pairs of a release and a press with the same
// time stamp. Qt tells such a pair from a real release and press only when
// the press has already arrived as it handles the release; at a busy moment
// it has not, and the GO shortcut, which ignores repeats, takes the press as
// new and fires the next cue. A press with the time stamp of the release
// just before it is a repeat (no hand releases and presses within one
// millisecond), so the filter drops it for those keys. Backspace deletes the
// current row of the main window, but erases text in a field, where a held
// key must go on erasing.
class HeldKeyFilter : public QAbstractNativeEventFilter
{
public:
    // Installs the filter when the program runs on X11; elsewhere nothing.
    static void InstallOnX11();

    // `keycodes` repeat never; `editingKeycodes` repeat only while
    // `editingText` says that the keyboard focus is on text being edited.
    explicit HeldKeyFilter(std::vector<std::uint8_t> keycodes,
                           std::vector<std::uint8_t> editingKeycodes = {},
                           std::function<bool()> editingText = {});

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    bool Guarded(std::uint8_t keycode) const;

    std::vector<std::uint8_t> m_keycodes;
    std::vector<std::uint8_t> m_editingKeycodes;
    std::function<bool()> m_editingText;
    std::uint8_t m_releasedKeycode = 0;
    std::uint32_t m_releasedAt = 0;
};
