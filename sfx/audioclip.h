#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tarv::audio {

// Decoded audio, ready for the mixer: interleaved stereo float samples at the
// mixer's rate. Immutable once built so the audio thread can read it without
// any synchronisation.
class AudioClip
{
public:
    static constexpr int kChannels = 2;

    AudioClip(std::string path, std::vector<float> interleavedStereo);

    const std::string& Path() const noexcept { return m_path; }
    const float* Samples() const noexcept { return m_samples.data(); }
    std::size_t Frames() const noexcept { return m_samples.size() / kChannels; }
    std::size_t Bytes() const noexcept { return m_samples.size() * sizeof(float); }

private:
    std::string m_path;
    std::vector<float> m_samples;
};

} // namespace tarv::audio
