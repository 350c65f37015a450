#pragma once

#include "sfx/outputdevices.h"

#include <memory>
#include <QAudioFormat>
#include <QString>

namespace tarv::audio {

// A sound device opened for playback, fed in push mode from the audio
// thread: every call comes from that thread, but for Open, which may run on
// another one (a device opened again after it failed) before the stream is
// handed to the audio thread.
class DeviceStream
{
public:
    virtual ~DeviceStream() = default;

    // Opens `device` for `format` with a buffer of about `bufferMilliseconds`.
    // Null when it cannot be opened.
    static std::unique_ptr<DeviceStream> Open(const OutputDevice& device,
                                              const QAudioFormat& format, int bufferMilliseconds);

    virtual qsizetype BufferBytes() const = 0; // as granted
    virtual qsizetype BytesFree() = 0;
    // Returns the bytes taken.
    virtual qsizetype Write(const char* data, qsizetype bytes) = 0;
    // The device went away (server stopped, device unplugged).
    virtual bool Failed() = 0;
    // Pauses and resumes playback; see AudioOutput::WakeDevice.
    virtual void PauseAndResume() = 0;
};

} // namespace tarv::audio
