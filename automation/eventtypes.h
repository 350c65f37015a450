#pragma once

#include <QLatin1String>

namespace tarv::automation {

// Type names of the cue-list entries; stored in cue files and compared
// against by the controllers.
inline constexpr QLatin1String kAudioType{"AUDIO"};
inline constexpr QLatin1String kGroupType{"GROUP"};
inline constexpr QLatin1String kOscType{"OSC"};
inline constexpr QLatin1String kWaitType{"WAIT"};

// Status texts with a meaning: a disabled entry that GO skips, and the status
// a new wait starts with.
inline constexpr QLatin1String kDisabledStatus{"x"};
inline constexpr QLatin1String kContinueStatus{"continue"};

} // namespace tarv::automation
