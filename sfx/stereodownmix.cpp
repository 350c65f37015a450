#include "sfx/stereodownmix.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sndfile.h>

namespace tarv::audio {

namespace {

constexpr float kMinus3dB = std::numbers::sqrt2_v<float> / 2.0F;

float Clean(float sample)
{
    return std::isfinite(sample) ? std::clamp(sample, -1.0F, 1.0F) : 0.0F;
}

} // namespace

StereoDownmix::StereoDownmix(int channels, const std::vector<int>& positions)
{
    const std::vector<int> used =
        static_cast<int>(positions.size()) == channels ? positions : DefaultPositions(channels);
    for (const int position : used)
        m_gains.push_back(channels == 1 ? Gains{1.0F, 1.0F} : GainsFor(position));
}

void StereoDownmix::Append(const float* frame, std::vector<float>& stereo) const
{
    float left = 0.0F;
    float right = 0.0F;
    for (std::size_t c = 0; c < m_gains.size(); ++c) {
        const float sample = Clean(frame[c]);
        left += sample * m_gains[c].left;
        right += sample * m_gains[c].right;
    }
    stereo.push_back(left);
    stereo.push_back(right);
}

std::vector<int> StereoDownmix::DefaultPositions(int channels)
{
    switch (channels) {
    case 1:
        return {SF_CHANNEL_MAP_MONO};
    case 3:
        return {SF_CHANNEL_MAP_LEFT, SF_CHANNEL_MAP_RIGHT, SF_CHANNEL_MAP_CENTER};
    case 4:
        return {SF_CHANNEL_MAP_LEFT, SF_CHANNEL_MAP_RIGHT, SF_CHANNEL_MAP_REAR_LEFT,
                SF_CHANNEL_MAP_REAR_RIGHT};
    case 5:
        return {SF_CHANNEL_MAP_LEFT, SF_CHANNEL_MAP_RIGHT, SF_CHANNEL_MAP_CENTER,
                SF_CHANNEL_MAP_REAR_LEFT, SF_CHANNEL_MAP_REAR_RIGHT};
    case 6:
        return {SF_CHANNEL_MAP_LEFT, SF_CHANNEL_MAP_RIGHT,     SF_CHANNEL_MAP_CENTER,
                SF_CHANNEL_MAP_LFE,  SF_CHANNEL_MAP_REAR_LEFT, SF_CHANNEL_MAP_REAR_RIGHT};
    case 7:
        return {SF_CHANNEL_MAP_LEFT,      SF_CHANNEL_MAP_RIGHT,       SF_CHANNEL_MAP_CENTER,
                SF_CHANNEL_MAP_LFE,       SF_CHANNEL_MAP_REAR_CENTER, SF_CHANNEL_MAP_SIDE_LEFT,
                SF_CHANNEL_MAP_SIDE_RIGHT};
    case 8:
        return {SF_CHANNEL_MAP_LEFT,      SF_CHANNEL_MAP_RIGHT,     SF_CHANNEL_MAP_CENTER,
                SF_CHANNEL_MAP_LFE,       SF_CHANNEL_MAP_REAR_LEFT, SF_CHANNEL_MAP_REAR_RIGHT,
                SF_CHANNEL_MAP_SIDE_LEFT, SF_CHANNEL_MAP_SIDE_RIGHT};
    default: {
        // Two channels, or a layout with no standard order: the first two
        // are the sides and the rest is left out.
        std::vector<int> positions(static_cast<std::size_t>(std::max(channels, 0)),
                                   SF_CHANNEL_MAP_INVALID);
        if (channels >= 2) {
            positions[0] = SF_CHANNEL_MAP_LEFT;
            positions[1] = SF_CHANNEL_MAP_RIGHT;
        }
        return positions;
    }
    }
}

StereoDownmix::Gains StereoDownmix::GainsFor(int position)
{
    switch (position) {
    case SF_CHANNEL_MAP_MONO:
    case SF_CHANNEL_MAP_CENTER:
    case SF_CHANNEL_MAP_FRONT_CENTER:
    case SF_CHANNEL_MAP_REAR_CENTER:
    case SF_CHANNEL_MAP_TOP_CENTER:
    case SF_CHANNEL_MAP_TOP_FRONT_CENTER:
    case SF_CHANNEL_MAP_TOP_REAR_CENTER:
        return {kMinus3dB, kMinus3dB};
    case SF_CHANNEL_MAP_LEFT:
    case SF_CHANNEL_MAP_FRONT_LEFT:
        return {1.0F, 0.0F};
    case SF_CHANNEL_MAP_RIGHT:
    case SF_CHANNEL_MAP_FRONT_RIGHT:
        return {0.0F, 1.0F};
    case SF_CHANNEL_MAP_REAR_LEFT:
    case SF_CHANNEL_MAP_SIDE_LEFT:
    case SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER:
    case SF_CHANNEL_MAP_TOP_FRONT_LEFT:
    case SF_CHANNEL_MAP_TOP_REAR_LEFT:
        return {kMinus3dB, 0.0F};
    case SF_CHANNEL_MAP_REAR_RIGHT:
    case SF_CHANNEL_MAP_SIDE_RIGHT:
    case SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER:
    case SF_CHANNEL_MAP_TOP_FRONT_RIGHT:
    case SF_CHANNEL_MAP_TOP_REAR_RIGHT:
        return {0.0F, kMinus3dB};
    default:
        return {}; // LFE, ambisonic components, unknown
    }
}

} // namespace tarv::audio
