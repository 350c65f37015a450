#include "sfx/audioclip.h"

#include <utility>

namespace tarv::audio {

AudioClip::AudioClip(std::string path, std::vector<float> interleavedStereo)
    : m_path(std::move(path))
    , m_samples(std::move(interleavedStereo))
{
    m_samples.resize(Frames() * kChannels); // drop a stray half frame
}

} // namespace tarv::audio
