#pragma once

#include <cstdint>
#include <optional>
#include <QAbstractNativeEventFilter>

// Keeps presses of Space (GO) made while a load or a save froze the window
// from firing cues once the window is back: X11 queues them, and Qt hands
// them over as soon as the event loop runs again. X stamps every event with
// the number of the last request of this program that it had handled, so
// after such an operation one round trip to the server marks the point
// reached; a press stamped earlier was made during the freeze and is
// dropped. Escape and every other key still pass.
class QueuedKeyFilter : public QAbstractNativeEventFilter
{
public:
    // Installs the filter when the program runs on X11; elsewhere nothing.
    static void InstallOnX11();
    // Drops the presses queued so far; does nothing without the filter.
    static void DropQueuedPresses();

    explicit QueuedKeyFilter(std::uint8_t keycode);

    // Presses stamped before request `sequence` are dropped, until the first
    // event stamped with it or later shows that the queue has been worked
    // off.
    void DropPressesBefore(std::uint16_t sequence);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    std::uint8_t m_keycode;
    std::optional<std::uint16_t> m_mark;
};
