#pragma once

#include <cstddef>
#include <vector>

namespace tarv::audio {

// Folds the channels of a decoded frame into stereo with the usual downmix
// coefficients: fronts to their own side, centre and surrounds at -3 dB
// (centre and rear centre into both sides), the LFE channel left out. Mono
// goes to both sides at full level. Non-finite samples become silence and
// each sample is clamped to [-1, 1] before it is mixed, so a broken file can
// never poison the mix.
class StereoDownmix
{
public:
    // Where each channel belongs: libsndfile's channel-map values, one per
    // channel. Empty when the file names none; then the WAV and FLAC order
    // for that many channels applies.
    StereoDownmix(int channels, const std::vector<int>& positions);

    // Appends the stereo frame made from `frame` (one sample per channel).
    void Append(const float* frame, std::vector<float>& stereo) const;

private:
    struct Gains
    {
        float left = 0.0F;
        float right = 0.0F;
    };

    static std::vector<int> DefaultPositions(int channels);
    static Gains GainsFor(int position);

    std::vector<Gains> m_gains;
};

} // namespace tarv::audio
