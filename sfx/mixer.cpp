#include "sfx/mixer.h"

#include "sfx/audioclip.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace tarv::audio {

namespace {

struct PanGains
{
    float left;
    float right;
};

PanGains PanLaw(float pan) noexcept
{
    if (!std::isfinite(pan))
        pan = 0.5F;
    const double angle = std::clamp(static_cast<double>(pan), 0.0, 1.0) * std::numbers::pi / 2.0;
    return {static_cast<float>(std::min(1.0, std::numbers::sqrt2 * std::cos(angle))),
            static_cast<float>(std::min(1.0, std::numbers::sqrt2 * std::sin(angle)))};
}

// Above +120 dB any sample over the noise floor of 16-bit audio is driven
// past full scale anyway; holding gains there keeps their products finite,
// so a runaway voice cannot turn silence into NaN and mute the others.
constexpr float kMaxGain = 1e6F;

float HeldGain(float gain) noexcept
{
    if (!(gain > 0.0F)) // also catches NaN: never inverted
        return 0.0F;
    return std::min(gain, kMaxGain);
}

// NaN (from a damaged clip) is silence; anything else is clamped.
float HeldSample(float sample) noexcept
{
    if (sample >= -1.0F && sample <= 1.0F)
        return sample;
    if (sample > 1.0F)
        return 1.0F;
    return sample < -1.0F ? -1.0F : 0.0F;
}

} // namespace

std::uint32_t Mixer::MillisecondsToFrames(double milliseconds) noexcept
{
    if (!(milliseconds > 0.0)) // also catches NaN
        return 0;
    const double frames = std::round(milliseconds * kSampleRate / 1000.0);
    constexpr auto kMax = std::numeric_limits<std::uint32_t>::max();
    return frames >= kMax ? kMax : static_cast<std::uint32_t>(frames);
}

bool Mixer::Submit(const MixerCommand& command)
{
    const std::lock_guard lock(m_submitMutex);
    switch (command.kind) {
    case MixerCommand::Kind::Panic:
        m_panicAt.store(m_submitted + 1, std::memory_order_release);
        return true;
    case MixerCommand::Kind::StopAll:
        m_stopAllAt.store(m_submitted + 1, std::memory_order_release);
        return true;
    case MixerCommand::Kind::Start:
        if (m_commands.Size() >= kStartCapacity)
            return false;
        break;
    default:
        break;
    }
    if (!m_commands.Push(command))
        return false;
    ++m_submitted;
    return true;
}

void Mixer::Render(float* out, std::size_t frames) noexcept
{
    ApplyCommands();

    std::fill(out, out + frames * kChannels, 0.0F);
    for (Voice& voice : m_voices) {
        if (voice.active)
            RenderVoice(voice, out, frames);
    }
    for (std::size_t i = 0; i < frames * kChannels; ++i)
        out[i] = HeldSample(out[i]);
    m_rendered.store(m_rendered.load(std::memory_order_relaxed) + frames,
                     std::memory_order_release);
}

void Mixer::Skip(std::uint64_t frames) noexcept
{
    ApplyCommands();
    for (Voice& voice : m_voices) {
        if (voice.active)
            SkipVoice(voice, frames);
    }
    m_rendered.store(m_rendered.load(std::memory_order_relaxed) + frames,
                     std::memory_order_release);
}

void Mixer::ApplyCommands() noexcept
{
    std::uint64_t panicAt = m_panicAt.load(std::memory_order_acquire);
    std::uint64_t stopAllAt = m_stopAllAt.load(std::memory_order_acquire);
    ApplyRequests(panicAt, stopAllAt);
    for (;;) {
        if (!m_waiting) {
            // A request is done once everything queued before it is.
            const bool renewed = Settle(m_panicAt, panicAt);
            if (Settle(m_stopAllAt, stopAllAt) || renewed)
                ApplyRequests(panicAt, stopAllAt);
            m_waiting = m_commands.Pop();
            if (!m_waiting)
                return;
            ++m_taken;
        }
        const std::uint64_t sequence = m_taken - 1;
        const bool cancelled = sequence + 1 < std::max(panicAt, stopAllAt);
        if (m_waiting->kind == MixerCommand::Kind::Start) {
            if (!RoomForNotice())
                return; // until the notices are read
            if (cancelled)
                m_ended.Push({m_waiting->voice, m_rendered.load(std::memory_order_relaxed), false});
            else
                Start(*m_waiting, sequence);
        } else if (!cancelled) {
            Apply(*m_waiting);
        }
        m_waiting.reset();
    }
}

void Mixer::ApplyRequests(std::uint64_t panicAt, std::uint64_t stopAllAt) noexcept
{
    // Applied on every render while pending: voices started before the
    // request stop; a voice already stopping keeps the quicker fade.
    for (Voice& voice : m_voices) {
        if (!voice.active)
            continue;
        if (voice.startSequence + 1 < panicAt)
            End(voice, m_rendered.load(std::memory_order_relaxed));
        else if (voice.startSequence + 1 < stopAllAt)
            BeginStop(voice, voice.fadeOutFrames);
    }
}

bool Mixer::Settle(Request& request, std::uint64_t& at) noexcept
{
    if (at == 0 || m_taken + 1 < at)
        return false;
    if (request.compare_exchange_strong(at, 0, std::memory_order_acq_rel)) {
        at = 0;
        return false;
    }
    return true; // a newer request was made meanwhile: `at` now holds it
}

bool Mixer::RoomForNotice() const noexcept
{
    return m_ended.Size() + m_activeCount.load(std::memory_order_relaxed) < kNoticeCapacity;
}

void Mixer::Apply(const MixerCommand& command) noexcept
{
    switch (command.kind) {
    case MixerCommand::Kind::Start:
    case MixerCommand::Kind::StopAll:
    case MixerCommand::Kind::Panic:
        break; // not queued: see ApplyCommands
    case MixerCommand::Kind::Stop:
        for (Voice& voice : m_voices) {
            if (voice.active && voice.handle == command.voice)
                BeginStop(voice, command.ownFade ? voice.fadeOutFrames : command.frames);
        }
        break;
    case MixerCommand::Kind::FadeTo:
        for (Voice& voice : m_voices) {
            if (!voice.active || voice.handle != command.voice)
                continue;
            const float gain = HeldGain(command.gain);
            if (command.frames == 0) {
                voice.level = gain;
                voice.levelLeft = 0;
                continue;
            }
            const float from = CurrentLevel(voice);
            voice.levelTarget = gain;
            voice.level = gain;
            voice.levelStep = (gain - from) / static_cast<float>(command.frames);
            voice.levelLeft = command.frames;
        }
        break;
    }
}

void Mixer::Start(const MixerCommand& command, std::uint64_t sequence) noexcept
{
    const std::uint64_t now = m_rendered.load(std::memory_order_relaxed);
    if (command.clip == nullptr || command.clip->Frames() == 0) {
        m_ended.Push({command.voice, now, false});
        return;
    }
    const auto free =
        std::find_if(m_voices.begin(), m_voices.end(), [](const Voice& v) { return !v.active; });
    if (free == m_voices.end()) {
        m_ended.Push({command.voice, now, true});
        return;
    }
    const VoiceSettings& s = command.settings;
    const PanGains pan = PanLaw(s.pan);
    Voice& v = *free;
    v = Voice{};
    v.active = true;
    v.handle = command.voice;
    v.startSequence = sequence;
    v.samples = command.clip->Samples();
    v.length = command.clip->Frames();
    v.passesLeft = s.repeats < 0 ? -1 : s.repeats;
    v.volume = HeldGain(s.volume);
    v.panLeft = pan.left;
    v.panRight = pan.right;
    v.fadeInFrames = s.fadeInFrames;
    v.fadeInScale = s.fadeInFrames > 0 ? 1.0F / static_cast<float>(s.fadeInFrames) : 0.0F;
    v.fadeOutFrames = s.fadeOutFrames;
    v.fadeOutScale = s.fadeOutFrames > 0 ? 1.0F / static_cast<float>(s.fadeOutFrames) : 0.0F;
    m_activeCount.fetch_add(1, std::memory_order_relaxed);
}

float Mixer::CurrentLevel(const Voice& voice) const noexcept
{
    if (voice.levelLeft == 0)
        return voice.level;
    return voice.levelTarget - static_cast<float>(voice.levelLeft) * voice.levelStep;
}

void Mixer::BeginStop(Voice& voice, std::uint64_t fadeFrames) noexcept
{
    if (fadeFrames == 0) {
        End(voice, m_rendered.load(std::memory_order_relaxed));
        return;
    }
    if (voice.stopping && voice.stopLeft <= fadeFrames)
        return; // already fading out at least as fast
    const float from = voice.stopping ? static_cast<float>(voice.stopLeft) * voice.stopScale : 1.0F;
    voice.stopping = true;
    voice.stopLeft = fadeFrames;
    voice.stopScale = from / static_cast<float>(fadeFrames);
}

void Mixer::End(Voice& voice, std::uint64_t frame) noexcept
{
    voice.active = false;
    m_ended.Push({voice.handle, frame, false});
    m_activeCount.fetch_sub(1, std::memory_order_relaxed);
}

void Mixer::RenderVoice(Voice& voice, float* out, std::size_t frames) noexcept
{
    // Work on a local copy: the output is float too, so writes through `out`
    // could otherwise alias the voice's fields and keep them out of registers.
    Voice v = voice;
    const std::uint64_t base = m_rendered.load(std::memory_order_relaxed);
    for (std::size_t i = 0; i < frames; ++i) {
        if (v.position >= v.length) {
            if (v.passesLeft == 0) {
                voice = v;
                End(voice, base + i);
                return;
            }
            if (v.passesLeft > 0)
                --v.passesLeft;
            v.position = 0;
        }

        float gain = v.volume;
        if (v.elapsed < v.fadeInFrames)
            gain *= static_cast<float>(v.elapsed) * v.fadeInScale;
        if (v.levelLeft > 0) {
            gain *= v.levelTarget - static_cast<float>(v.levelLeft) * v.levelStep;
            --v.levelLeft;
        } else {
            gain *= v.level;
        }
        if (v.passesLeft >= 0) {
            const std::uint64_t remaining =
                (v.length - v.position) + static_cast<std::uint64_t>(v.passesLeft) * v.length;
            if (remaining < v.fadeOutFrames)
                gain *= static_cast<float>(remaining) * v.fadeOutScale;
        }
        if (v.stopping)
            gain *= static_cast<float>(v.stopLeft) * v.stopScale;

        const float* frame = v.samples + v.position * kChannels;
        out[i * kChannels] += frame[0] * gain * v.panLeft;
        out[i * kChannels + 1] += frame[1] * gain * v.panRight;
        ++v.position;
        ++v.elapsed;

        if (v.stopping && --v.stopLeft == 0) {
            voice = v;
            End(voice, base + i + 1);
            return;
        }
    }
    voice = v;
}

void Mixer::SkipVoice(Voice& voice, std::uint64_t frames) noexcept
{
    // As RenderVoice: a stop ramp ends the voice as its last frame plays, the
    // last pass only at the frame after.
    constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();
    const std::uint64_t passesEnd =
        voice.passesLeft < 0 ? kNever
                             : (voice.length - voice.position) +
                                   static_cast<std::uint64_t>(voice.passesLeft) * voice.length;
    const std::uint64_t stopEnd = voice.stopping ? voice.stopLeft : kNever;
    const std::uint64_t base = m_rendered.load(std::memory_order_relaxed);
    if (stopEnd <= frames && stopEnd <= passesEnd) {
        End(voice, base + stopEnd);
        return;
    }
    if (passesEnd < frames) {
        End(voice, base + passesEnd);
        return;
    }
    if (passesEnd == frames) {
        voice.position = voice.length;
        voice.passesLeft = 0;
    } else {
        const std::uint64_t travelled = voice.position + frames;
        if (voice.passesLeft > 0)
            voice.passesLeft -= static_cast<int>(travelled / voice.length);
        voice.position = travelled % voice.length;
    }
    voice.elapsed += frames;
    voice.levelLeft -= std::min(voice.levelLeft, frames);
    if (voice.stopping)
        voice.stopLeft -= frames;
}

} // namespace tarv::audio
