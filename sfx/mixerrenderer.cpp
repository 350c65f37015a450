#include "sfx/mixerrenderer.h"

#include "sfx/mixer.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace tarv::audio {

MixerRenderer::MixerRenderer(Mixer& mixer, const QAudioFormat& format)
    : m_mixer(mixer)
    , m_format(format)
    , m_scratch(static_cast<std::size_t>(kMaxFrames * Mixer::kChannels))
{}

void MixerRenderer::Render(char* out, qsizetype frames) noexcept
{
    m_mixer.Render(m_scratch.data(), static_cast<std::size_t>(frames));

    // A device with more than the mixer's two channels gets silence on the
    // others.
    const int channels = m_format.channelCount();
    const int bytesPerSample = m_format.bytesPerSample();
    for (qsizetype f = 0; f < frames; ++f) {
        for (int c = 0; c < channels; ++c) {
            const float v = c < Mixer::kChannels
                                ? m_scratch[static_cast<std::size_t>(f * Mixer::kChannels + c)]
                                : 0.0F;
            char* at = out + (f * channels + c) * bytesPerSample;
            switch (m_format.sampleFormat()) {
            case QAudioFormat::Float:
                std::memcpy(at, &v, sizeof v);
                break;
            case QAudioFormat::Int32: {
                const auto s =
                    static_cast<std::int32_t>(std::lround(static_cast<double>(v) * 2147483647.0));
                std::memcpy(at, &s, sizeof s);
                break;
            }
            case QAudioFormat::Int16: {
                const auto s = static_cast<std::int16_t>(std::lround(v * 32767.0F));
                std::memcpy(at, &s, sizeof s);
                break;
            }
            case QAudioFormat::UInt8: {
                const auto s = static_cast<std::uint8_t>(std::lround(v * 127.0F + 128.0F));
                std::memcpy(at, &s, sizeof s);
                break;
            }
            default:
                std::memset(at, 0, static_cast<std::size_t>(bytesPerSample));
                break;
            }
        }
    }
}

} // namespace tarv::audio
