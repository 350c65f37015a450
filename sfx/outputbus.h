#pragma once

#include "sfx/mixercommand.h"

#include <memory>
#include <optional>
#include <QAudioDevice>
#include <QObject>
#include <QThread>

namespace tarv::audio {

class AudioOutput;
class Mixer;

// One output: a mixer, the audio thread that renders it and the device (or
// silent clock) it plays on. Owned and driven from the GUI thread; the audio
// thread is started by the first Submit, so a player that never plays never
// opens a device.
class OutputBus : public QObject
{
    Q_OBJECT

public:
    // A null device means the system's default output at the time of the
    // first play.
    explicit OutputBus(QAudioDevice device, QObject* parent = nullptr);
    ~OutputBus() override;

    bool Submit(const MixerCommand& command);
    std::optional<VoiceEnded> TakeEnded();

    bool IsStarted() const noexcept { return m_thread.isRunning(); }
    bool IsSilent() const noexcept { return m_silent; }
    double BufferMilliseconds() const noexcept { return m_bufferMilliseconds; }

signals:
    // The output is up; `problem` says why it is silent, when it is.
    void ready(bool silent, const QString& problem);

private:
    void Start();
    void OnReady(double bufferMilliseconds, bool silent, const QString& problem);

    QAudioDevice m_device;
    std::unique_ptr<Mixer> m_mixer;
    std::unique_ptr<AudioOutput> m_output;
    QThread m_thread;
    bool m_silent = false;
    double m_bufferMilliseconds = 0.0;
};

} // namespace tarv::audio
