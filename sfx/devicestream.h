#pragma once

#include "sfx/outputdevices.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <QAudioFormat>
#include <QString>

namespace tarv::audio {

// A sound device opened for playback that asks for its sound itself: the
// source is called as soon as the device has room, on a thread of the
// device's (PulseAudio: its connection's real-time thread) or, where the
// device is fed by a timer, on the audio thread. Every other call comes
// from the audio thread, but for Open, which may run on another one (a
// device opened again after it failed) before the stream is handed to the
// audio thread.
class DeviceStream
{
public:
    // Fills `bytes` bytes (whole frames) at `out`. It must not block.
    using Source = std::function<void(char* out, qsizetype bytes)>;

    virtual ~DeviceStream() = default;

    // Where the stream plays against the output it belongs on.
    enum class Placement : std::uint8_t
    {
        Unknown, // not yet known
        Own,     // on its own output
        Away,    // elsewhere: its own output is gone
    };

    // Opens `device` for `format` with a buffer of about `bufferMilliseconds`.
    // `own` names the output the stream belongs on (a device's id or
    // description; empty: wherever the system puts it): while that output
    // exists the stream is kept there, also when the system moved it away.
    // Null when it cannot be opened.
    static std::unique_ptr<DeviceStream> Open(const OutputDevice& device,
                                              const QAudioFormat& format, int bufferMilliseconds,
                                              const QString& own = QString());

    virtual qsizetype BufferBytes() const = 0; // as granted
    // Starts calling `source`, from a full buffer on, until the stream is
    // destroyed.
    virtual void Feed(Source source) = 0;
    // Runs `change` while the source is not running, so that it may change
    // what the source reads.
    virtual void Exclusive(const std::function<void()>& change) = 0;
    // The device went away (server stopped, device unplugged).
    virtual bool Failed() = 0;
    // It failed with its sound server (that stopped or went away), not on
    // its own.
    virtual bool ServerLost() { return false; }
    virtual Placement Placed() const { return Placement::Own; }
    // The kernel's id of the thread that calls the source, once known; 0
    // where the device has no thread of its own.
    virtual std::int64_t FeedThread() const { return 0; }
};

} // namespace tarv::audio
