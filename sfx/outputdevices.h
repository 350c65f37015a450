#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#ifndef Q_OS_LINUX
#include <QAudioDevice>
#endif

namespace tarv::audio {

// A sound output as the player names and opens it. On Linux the PulseAudio
// server is asked directly (see pulsedevicestream.cpp), elsewhere Qt
// Multimedia.
struct OutputDevice
{
    QByteArray id; // empty: none
    QString description;
#ifndef Q_OS_LINUX
    QAudioDevice device;
#endif

    bool IsNull() const noexcept
    {
        return id.isEmpty();
    }
};

// The system's default output now; null when there is none.
OutputDevice DefaultOutputDevice();
QList<OutputDevice> OutputDevices();

} // namespace tarv::audio
