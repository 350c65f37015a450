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
    // `own` names the output as the show does (a device's id or
    // description); empty: the system's default output at each opening.
    explicit OutputBus(QString own, QObject* parent = nullptr);
    ~OutputBus() override;

    // Opens the device ahead of the first play; nothing once it is open.
    void Open();
    const QString& Own() const noexcept { return m_own; }
    bool Submit(const MixerCommand& command);
    std::optional<VoiceEnded> TakeEnded();

    bool IsStarted() const noexcept { return m_thread.isRunning(); }
    // Without a device, or while the device takes no sound.
    bool IsSilent() const noexcept { return m_silent || m_stalled; }
    // Plays elsewhere, as its own output is missing.
    bool IsAway() const noexcept { return m_away; }
    double BufferMilliseconds() const noexcept { return m_bufferMilliseconds; }

signals:
    // The output is up; `problem` says why it is silent, when it is, and
    // `serverLost` whether that is the sound server's loss (silencing every
    // output) rather than this output's own.
    void ready(bool silent, const QString& problem, bool serverLost);
    // The device stopped taking sound; the output keeps time silently until
    // it takes sound again (resumed).
    void stalled(const QString& problem);
    void resumed();
    // The sound now plays on its own output, or elsewhere as that is
    // missing.
    void placed(bool onOwnOutput);
    // The device plays again after it had stopped working or gone away.
    void recovered(const QString& message);

private:
    void OnReady(double bufferMilliseconds, bool silent, const QString& problem, bool serverLost);
    void OnStallChanged(bool stalled, const QString& problem);
    void OnPlaced(bool onOwnOutput);

    const QString m_own;
    std::unique_ptr<Mixer> m_mixer;
    std::unique_ptr<AudioOutput> m_output;
    QThread m_thread;
    bool m_silent = false;
    bool m_stalled = false;
    bool m_away = false;
    double m_bufferMilliseconds = 0.0;
};

} // namespace tarv::audio
