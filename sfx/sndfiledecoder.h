#pragma once

#include <memory>
#include <string>
#include <vector>

namespace tarv::audio {

class AudioClip;

// Reads a whole audio file with libsndfile (WAV, FLAC, Ogg, MP3 and whatever
// else the installed libsndfile reads) and turns it into the mixer's format:
// stereo, float, at the mixer's rate. Mono is copied to both sides, further
// channels are dropped, other rates are resampled linearly.
class SndfileDecoder
{
public:
    // Throws std::runtime_error with a readable message when the file cannot
    // be opened or decoded.
    static std::shared_ptr<const AudioClip> Decode(const std::string& path);

    // Linear-interpolation resampling of interleaved stereo frames.
    static std::vector<float> Resample(const std::vector<float>& stereo, int fromRate, int toRate);
};

} // namespace tarv::audio
