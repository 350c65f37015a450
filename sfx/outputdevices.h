#pragma once

#include <cstdint>
#include <optional>
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

// What is known of the outputs. On Linux a thread of its own keeps it up to
// date: it follows the server's changes, asks it once a second whether it
// still answers and, while no server runs, looks for one once a second. A
// server that hangs leaves the last outputs it told.
struct KnownOutputs
{
    enum class Server : std::uint8_t
    {
        Unknown, // not asked yet
        Answering,
        NotAnswering, // it hangs
        Absent,       // none runs: there are no outputs
    };

    Server server = Server::Unknown;
    QList<OutputDevice> outputs;
    QByteArray defaultName;
    // Changes whenever the outputs or the default do.
    std::uint64_t generation = 0;

    // The default output; null when there is none.
    OutputDevice Default() const;
    // The output named by its description or its id.
    std::optional<OutputDevice> Find(const QString& name) const;
    bool Has(const QByteArray& id) const;
};

// Never waits on the server. `waitMilliseconds`: at most this long for its
// first answer, off the GUI thread only.
KnownOutputs CurrentOutputs(int waitMilliseconds = 0);

// From now on nothing waits for the sound server: the program quits.
void AbandonServerWaits();

// The system's default output now; null when there is none.
OutputDevice DefaultOutputDevice();
QList<OutputDevice> OutputDevices();

} // namespace tarv::audio
