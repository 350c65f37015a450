#pragma once

#include <cstdint>

namespace tarv::audio {

class AudioClip;

// How one voice plays its clip. Fades are in frames at the mixer's rate.
struct VoiceSettings
{
    float volume = 1.0F; // linear gain
    float pan = 0.5F;    // 0 hard left, 0.5 centre, 1 hard right
    std::uint32_t fadeInFrames = 0;
    std::uint32_t fadeOutFrames = 0; // at the natural end and on a stop
    int repeats = 0;                 // extra passes after the first; -1 loops until stopped
};

// A plain value copied through the lock-free queue into the audio thread.
struct MixerCommand
{
    enum class Kind : std::uint8_t
    {
        Start,
        Stop,
        FadeTo,
        StopAll,
        Panic
    };

    Kind kind = Kind::Stop;
    std::uint64_t voice = 0;         // the handle chosen by the caller
    const AudioClip* clip = nullptr; // Start: must outlive the voice
    VoiceSettings settings;          // Start
    float gain = 1.0F;               // FadeTo: target level, relative to the volume
    std::uint32_t frames = 0;        // FadeTo: duration; Stop: fade-out unless ownFade
    bool ownFade = true;             // Stop: fade out over the voice's own fade-out
};

// What the audio thread reports back: a voice ended (its last frame was
// rendered at endFrame) or was refused because every voice was busy.
struct VoiceEnded
{
    std::uint64_t voice = 0;
    std::uint64_t endFrame = 0;
    bool refused = false;
};

} // namespace tarv::audio
