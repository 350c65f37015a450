#include "qt/soundunits.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarv::qt::soundunits {

double SliderPositionOfGain(double gain)
{
    if (!(gain > 0.0))
        return kLeftEndPosition;
    const double position = std::exp(20.0 * std::log10(gain) / 25.0);
    if (!std::isfinite(position))
        return kRightEndPosition;
    return std::clamp(position, kLeftEndPosition, kRightEndPosition);
}

unsigned short InstanceFadeMilliseconds(int milliseconds)
{
    return static_cast<unsigned short>(
        std::clamp(milliseconds, 0, int{std::numeric_limits<unsigned short>::max()}));
}

unsigned CustomAudioFadeMilliseconds(int milliseconds)
{
    return static_cast<unsigned>(std::max(milliseconds, 0));
}

} // namespace tarv::qt::soundunits
