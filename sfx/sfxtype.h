#pragma once

namespace tarv::audio {

// Kind of a sound-effect instance. Cue files store the number, so the values
// are fixed; a fixed underlying type keeps any stored number representable.
enum class SfxType : int
{
    Custom = 0,
    SoundEffect = 1,
    Ambient = 2,
};

} // namespace tarv::audio
