#include "sfx/silentclock.h"

#include "sfx/mixer.h"

#include <algorithm>
#include <chrono>

namespace tarv::audio {

namespace {

std::int64_t SteadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

SilentClock::SilentClock(Mixer& mixer, Clock clock, QObject* parent)
    : QObject(parent)
    , m_mixer(mixer)
    , m_clock(clock ? std::move(clock) : Clock(SteadyNanoseconds))
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kTickMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &SilentClock::Tick);
}

void SilentClock::Start(std::int64_t behindNanoseconds)
{
    m_origin = m_clock() - std::max<std::int64_t>(0, behindNanoseconds);
    m_rendered = 0;
    m_timer.start();
}

void SilentClock::Tick()
{
    // Whole seconds and the rest apart: nanoseconds times the rate would
    // overflow 64 bits after 106.75 hours.
    constexpr std::uint64_t kNanoseconds = 1000000000ULL;
    constexpr std::uint64_t kRate = Mixer::kSampleRate;
    const auto elapsed =
        static_cast<std::uint64_t>(std::max<std::int64_t>(0, m_clock() - m_origin));
    const std::uint64_t due =
        elapsed / kNanoseconds * kRate + elapsed % kNanoseconds * kRate / kNanoseconds;
    // Nobody hears it: the voices are moved on, not rendered.
    if (m_rendered < due) {
        m_mixer.Skip(due - m_rendered);
        m_rendered = due;
    }
}

} // namespace tarv::audio
