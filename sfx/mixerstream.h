#pragma once

#include <QAudioFormat>
#include <QIODevice>
#include <vector>

namespace tarv::audio {

class Mixer;

// The device that QAudioSink pulls from: each read renders the mixer straight
// into the sink's buffer in the sink's sample format. Reads happen on the
// audio thread; the scratch buffer is allocated once, here, so a read never
// allocates and never waits.
class MixerStream : public QIODevice
{
    Q_OBJECT

public:
    static constexpr qsizetype kScratchFrames = 4096;

    MixerStream(Mixer& mixer, const QAudioFormat& format, QObject* parent = nullptr);

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

    // Renders `frames` frames and converts them into `out`, which holds
    // frames * the format's bytes per frame.
    void RenderInto(char* out, qsizetype frames) noexcept;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    Mixer& m_mixer;
    QAudioFormat m_format;
    std::vector<float> m_scratch;
};

} // namespace tarv::audio
