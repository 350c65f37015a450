#pragma once

#include <cstdint>
#include <QAbstractNativeEventFilter>
#include <vector>

// Keeps a held Space or Escape from reaching the program as fresh presses.
// X11 repeats a held key as pairs of a release and a press with the same
// time stamp. Qt tells such a pair from a real release and press only when
// the press has already arrived as it handles the release; at a busy moment
// it has not, and the GO shortcut, which ignores repeats, takes the press as
// new and fires the next cue. A press with the time stamp of the release
// just before it is a repeat (no hand releases and presses within one
// millisecond), so the filter drops it for those two keys.
class HeldKeyFilter : public QAbstractNativeEventFilter
{
public:
    // Installs the filter when the program runs on X11; elsewhere nothing.
    static void InstallOnX11();

    explicit HeldKeyFilter(std::vector<std::uint8_t> keycodes);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    std::vector<std::uint8_t> m_keycodes;
    std::uint8_t m_releasedKeycode = 0;
    std::uint32_t m_releasedAt = 0;
};
