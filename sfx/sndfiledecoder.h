#pragma once

#include <memory>
#include <string>
#include <vector>

namespace tarv::audio {

class AudioClip;

// Reads a whole audio file with libsndfile (WAV, FLAC, Ogg, MP3 and whatever
// else the installed libsndfile reads) and turns it into the mixer's format:
// stereo, float, at the mixer's rate. Mono is copied to both sides, more
// channels are downmixed (see StereoDownmix), other rates are converted with
// libsoxr.
class SndfileDecoder
{
public:
    // Throws std::runtime_error with a readable message when the file cannot
    // be opened or decoded.
    static std::shared_ptr<const AudioClip> Decode(const std::string& path);

    // Converts interleaved stereo frames to another rate, filtering out what
    // the new rate cannot hold. Throws std::runtime_error when it cannot.
    static std::vector<float> Resample(const std::vector<float>& stereo, int fromRate, int toRate);
};

} // namespace tarv::audio
