#pragma once

#include <QAudioFormat>
#include <vector>

namespace tarv::audio {

class Mixer;

// Renders the mixer in a device's sample format. The scratch buffer is
// allocated once, here, so rendering on the audio thread never allocates.
class MixerRenderer
{
public:
    static constexpr qsizetype kMaxFrames = 4096;

    MixerRenderer(Mixer& mixer, const QAudioFormat& format);

    const QAudioFormat& Format() const noexcept { return m_format; }

    // Renders `frames` (at most kMaxFrames) frames into `out`, which holds
    // frames times the format's bytes per frame.
    void Render(char* out, qsizetype frames) noexcept;

private:
    Mixer& m_mixer;
    QAudioFormat m_format;
    std::vector<float> m_scratch;
};

} // namespace tarv::audio
