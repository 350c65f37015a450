#pragma once

#include <memory>
#include <QAudioDevice>
#include <QAudioFormat>
#include <QObject>
#include <QPointer>

class QAudioSink;

namespace tarv::audio {

class Mixer;
class MixerStream;
class SilentClock;

// Lives on the audio thread and feeds one mixer to one device.
//
// Pull mode: QAudioSink reads from MixerStream on this object's thread, so
// the sink's refills never wait for the GUI thread's event loop, and the
// device's own buffer sets the pace (and with it the latency). When the
// device cannot be opened, or fails later, the mixer is driven by a
// SilentClock instead.
class AudioOutput : public QObject
{
    Q_OBJECT

public:
    // Requested device buffer; it bounds the time from a play to its sound.
    static constexpr int kBufferMilliseconds = 20;

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
    void OnStateChanged();
    void StartSilent(const QString& problem);

    Mixer& m_mixer;
    QAudioDevice m_device;
    std::unique_ptr<MixerStream> m_stream;
    QPointer<QAudioSink> m_sink;
    std::unique_ptr<SilentClock> m_silent;
};

} // namespace tarv::audio
