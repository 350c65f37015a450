#pragma once

#include "sfx/mixercommand.h"
#include "sfx/outputdevices.h"

#include <memory>
#include <optional>
#include <QObject>
#include <QThread>

namespace tarv::audio {

class AudioOutput;
class Mixer;

// One output: a mixer, the audio thread that renders it and the device (or
// silent clock) it plays on. Owned and driven from the GUI thread. The audio
// thread and the device are started by Open, or by the first Submit.
class OutputBus : public QObject
{
    Q_OBJECT

public:
    // A null device means the system's default output at the time it is
    // opened.
    explicit OutputBus(OutputDevice device, QObject* parent = nullptr);
    ~OutputBus() override;

    // Opens the device ahead of the first play; nothing once it is open.
    void Open();
    // Plays on the device again, once it opens (it came back).
    void Reopen();
    const OutputDevice& Device() const noexcept { return m_device; }
    bool Submit(const MixerCommand& command);
    std::optional<VoiceEnded> TakeEnded();

    bool IsStarted() const noexcept { return m_thread.isRunning(); }
    // Without a device, or while the device takes no sound.
    bool IsSilent() const noexcept { return m_silent || m_stalled; }
    double BufferMilliseconds() const noexcept { return m_bufferMilliseconds; }

signals:
    // The output is up; `problem` says why it is silent, when it is.
    void ready(bool silent, const QString& problem);
    // The device stopped taking sound; the output keeps time silently until
    // it takes sound again.
    void stalled(const QString& problem);
    // The device plays again after it had stopped working or gone away.
    void recovered(const QString& message);

private:
    void OnReady(double bufferMilliseconds, bool silent, const QString& problem);
    void OnStallChanged(bool stalled, const QString& problem);

    OutputDevice m_device;
    std::unique_ptr<Mixer> m_mixer;
    std::unique_ptr<AudioOutput> m_output;
    QThread m_thread;
    bool m_silent = false;
    bool m_stalled = false;
    double m_bufferMilliseconds = 0.0;
};

} // namespace tarv::audio
