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
// Nothing is lost in a storm of commands. Every start gets exactly one end
// notice: the audio thread takes a start from the ring only when the notice
// ring has room for it and for every voice playing, so a start waits in the
// ring while nobody reads the notices. Starts may fill only part of the
// command ring, leaving room for stops and fades. Stop-all and panic do not
// travel through the ring at all: each is a request that always gets
// through, applies at once to every voice started before it, and ends the
// starts still queued before it without letting them sound.
//
// Gains: volume times the fade-to level times the fade envelopes, all linear
// in gain. Pan is constant power, normalised so the centre leaves both
// channels at unity and no side rises above it. Volumes and fade-to levels
// are held to [0, 10^6]. The output is clamped to [-1, 1], so overload
// flattens instead of wrapping, and a sample that is no number plays as
// silence: whatever the commands and clips hold, the output stays finite.
class Mixer
{
public:
    static constexpr int kSampleRate = 48000;
    static constexpr int kChannels = 2;
    static constexpr std::size_t kMaxVoices = 256;

    Mixer() = default;
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // Returns false when a start or stop cannot be queued (the command is
    // dropped); stop-all and panic always succeed.
    bool Submit(const MixerCommand& command);

    // Applies pending commands, then renders `frames` frames into `out`
    // (2 * frames floats), replacing its contents.
    void Render(float* out, std::size_t frames) noexcept;
    // Applies pending commands, then moves every voice on by `frames`
    // frames, as Render would, without rendering them: the time it takes
    // does not grow with `frames`.
    void Skip(std::uint64_t frames) noexcept;

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
        std::uint64_t startSequence = 0; // the start command's place in the queue
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

    // A stop-all or panic request: the place in the queue it was made at,
    // plus one (zero: none pending). A later request replaces an earlier one
    // of its kind, which it includes.
    using Request = std::atomic<std::uint64_t>;

    void ApplyCommands() noexcept;
    void ApplyRequests(std::uint64_t panicAt, std::uint64_t stopAllAt) noexcept;
    // Clears a request that is done; true when a newer one replaced it.
    bool Settle(Request& request, std::uint64_t& at) noexcept;
    bool RoomForNotice() const noexcept;
    void Apply(const MixerCommand& command) noexcept;
    void Start(const MixerCommand& command, std::uint64_t sequence) noexcept;
    void BeginStop(Voice& voice, std::uint64_t fadeFrames) noexcept;
    float CurrentLevel(const Voice& voice) const noexcept;
    void End(Voice& voice, std::uint64_t frame) noexcept;
    void RenderVoice(Voice& voice, float* out, std::size_t frames) noexcept;
    void SkipVoice(Voice& voice, std::uint64_t frames) noexcept;

    std::array<Voice, kMaxVoices> m_voices{};
    static constexpr std::size_t kCommandCapacity = 1024;
    static constexpr std::size_t kStartCapacity = kCommandCapacity - 256;
    static constexpr std::size_t kNoticeCapacity = 2 * kCommandCapacity;
    SpscQueue<MixerCommand, kCommandCapacity> m_commands;
    SpscQueue<VoiceEnded, kNoticeCapacity> m_ended;
    std::mutex m_submitMutex;
    std::uint64_t m_submitted = 0; // commands queued so far; under m_submitMutex
    // Audio thread: commands taken from the ring so far, and the last one
    // taken while it waits for room for its notice.
    std::uint64_t m_taken = 0;
    std::optional<MixerCommand> m_waiting;
    Request m_panicAt{0};
    Request m_stopAllAt{0};
    std::atomic<std::uint64_t> m_rendered{0};
    std::atomic<std::size_t> m_activeCount{0};
};

} // namespace tarv::audio
