#pragma once

#include <memory>
#include <QAudioDevice>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <vector>

class QAudioSink;
class QIODevice;

namespace tarv::audio {

class Mixer;
class MixerRenderer;
class SilentClock;

// Lives on the audio thread and feeds one mixer to one device.
//
// Push mode from a timer on this thread: every few milliseconds the sink's
// free space is filled with freshly mixed frames. The timer runs on the audio
// thread, so a busy GUI thread never starves the device, and a small device
// buffer bounds the time from a play to its sound. (Qt 6.4's PulseAudio sink
// pulls only in whole 20 ms periods, which needs a larger buffer than this.)
// When the device cannot be opened, or fails later, a SilentClock drives the
// mixer instead.
class AudioOutput : public QObject
{
    Q_OBJECT

public:
    // Requested device buffer; it bounds the time from a play to its sound.
    static constexpr int kBufferMilliseconds = 20;
    static constexpr int kFeedMilliseconds = 4;

    AudioOutput(Mixer& mixer, QAudioDevice device);
    ~AudioOutput() override;

    // Both run on the audio thread.
    void Start();
    void Stop();

signals:
    // bufferMilliseconds: the device buffer actually granted (0 when silent);
    // problem: why playback is silent, empty when it is not.
    void ready(double bufferMilliseconds, bool silent, const QString& problem);

private:
    void Feed();
    void OnStateChanged();
    void StartSilent(const QString& problem);

    Mixer& m_mixer;
    QAudioDevice m_device;
    std::unique_ptr<MixerRenderer> m_renderer;
    std::vector<char> m_bytes;
    QPointer<QAudioSink> m_sink;
    QIODevice* m_input = nullptr; // owned by the sink
    QTimer m_feed;
    std::unique_ptr<SilentClock> m_silent;
};

} // namespace tarv::audio
