#include "sfx/silentclock.h"

#include "sfx/mixer.h"

#include <algorithm>

namespace tarv::audio {

namespace {
constexpr std::uint64_t kScratchFrames = 4096;
}

SilentClock::SilentClock(Mixer& mixer, QObject* parent)
    : QObject(parent)
    , m_mixer(mixer)
    , m_scratch(kScratchFrames * Mixer::kChannels)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kTickMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &SilentClock::Tick);
}

void SilentClock::Start()
{
    m_clock.start();
    m_rendered = 0;
    m_timer.start();
}

void SilentClock::Tick()
{
    const auto due = static_cast<std::uint64_t>(m_clock.nsecsElapsed()) *
                     std::uint64_t{Mixer::kSampleRate} / 1000000000ULL;
    while (m_rendered < due) {
        const std::uint64_t chunk = std::min<std::uint64_t>(due - m_rendered, kScratchFrames);
        m_mixer.Render(m_scratch.data(), chunk);
        m_rendered += chunk;
    }
}

} // namespace tarv::audio
