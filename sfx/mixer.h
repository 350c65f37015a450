#pragma once

#include "sfx/mixercommand.h"
#include "sfx/spscqueue.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>

namespace tarv::audio {

// The software mixer: a fixed set of voices rendered into interleaved stereo
// float frames. It knows nothing of devices or Qt, so tests render it offline
// sample by sample and the benchmark times it directly.
//
// Threads: any thread may Submit commands (producers are serialised by a
// mutex that the audio thread never takes); one thread renders and is the
// only one to touch the voices; one thread takes the end notices. Render
// never blocks and never allocates.
//
// Gains: volume times the fade-to level times the fade envelopes, all linear
// in gain. Pan is constant power, normalised so the centre leaves both
// channels at unity and no side rises above it. The output is clamped to
// [-1, 1], so overload flattens instead of wrapping.
class Mixer
{
public:
    static constexpr int kSampleRate = 48000;
    static constexpr int kChannels = 2;
    static constexpr std::size_t kMaxVoices = 256;

    Mixer() = default;
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // Returns false when the command ring is full (the command is dropped).
    bool Submit(const MixerCommand& command);

    // Applies pending commands, then renders `frames` frames into `out`
    // (2 * frames floats), replacing its contents.
    void Render(float* out, std::size_t frames) noexcept;

    std::optional<VoiceEnded> TakeEnded() noexcept { return m_ended.Pop(); }

    std::uint64_t FramesRendered() const noexcept
    {
        return m_rendered.load(std::memory_order_acquire);
    }
    std::size_t ActiveVoices() const noexcept
    {
        return m_activeCount.load(std::memory_order_relaxed);
    }

    static std::uint32_t MillisecondsToFrames(double milliseconds) noexcept;

private:
    struct Voice
    {
        bool active = false;
        std::uint64_t handle = 0;
        const float* samples = nullptr;
        std::uint64_t length = 0; // frames per pass
        std::uint64_t position = 0;
        int passesLeft = 0; // after this one; negative loops
        std::uint64_t elapsed = 0;
        float volume = 1.0F;
        float panLeft = 1.0F;
        float panRight = 1.0F;
        float fadeInScale = 0.0F; // 1 / fade-in frames, 0 when none
        std::uint64_t fadeInFrames = 0;
        std::uint64_t fadeOutFrames = 0;
        float fadeOutScale = 0.0F;
        // Fade-to: level = target - levelLeft * levelStep while levelLeft > 0.
        float level = 1.0F;
        float levelTarget = 1.0F;
        float levelStep = 0.0F;
        std::uint64_t levelLeft = 0;
        // Stop ramp: gain = stopLeft * stopScale, the voice ends at zero.
        bool stopping = false;
        std::uint64_t stopLeft = 0;
        float stopScale = 0.0F;
    };

    void Apply(const MixerCommand& command) noexcept;
    void Start(const MixerCommand& command) noexcept;
    void BeginStop(Voice& voice, std::uint64_t fadeFrames) noexcept;
    float CurrentLevel(const Voice& voice) const noexcept;
    void End(Voice& voice, std::uint64_t frame) noexcept;
    void RenderVoice(Voice& voice, float* out, std::size_t frames) noexcept;

    std::array<Voice, kMaxVoices> m_voices{};
    static constexpr std::size_t kCommandCapacity = 1024;
    SpscQueue<MixerCommand, kCommandCapacity> m_commands;
    // Room for every voice to end and every queued start to be refused
    // between two reads, so no end notice is lost.
    SpscQueue<VoiceEnded, 2 * kCommandCapacity> m_ended;
    std::mutex m_submitMutex;
    std::atomic<std::uint64_t> m_rendered{0};
    std::atomic<std::size_t> m_activeCount{0};
};

} // namespace tarv::audio
