#pragma once

namespace tarv::qt::soundunits {

// The sound editors' volume fader: a slider position s stands for the level
// 25 ln(s) dB, from -80 dB at the left end to 0 dB at the right end; records
// keep the linear gain 10^(level / 20).
inline constexpr double kLeftEndPosition = 0.04076220398;
inline constexpr double kRightEndPosition = 1.0;
// -6 dB, where a new instance starts.
inline constexpr double kDefaultGain = 0.5011872;

// The slider position of a stored gain, within the slider's ends (a gain of 0
// or below, or one that is no number, sits at the left end).
double SliderPositionOfGain(double gain);

// Fades typed by the operator arrive as whole milliseconds of any sign; the
// records hold them unsigned, an instance in 16 bits.
unsigned short InstanceFadeMilliseconds(int milliseconds);
unsigned CustomAudioFadeMilliseconds(int milliseconds);

} // namespace tarv::qt::soundunits
