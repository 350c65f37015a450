#pragma once

#include <cstdint>
#include <functional>
#include <QObject>
#include <QTimer>

namespace tarv::audio {

class Mixer;

// Stands in for a sound device when there is none (or while it stalls):
// moves the mixer's voices on at the pace of a monotonic clock,
// so voices still end and finished notices still arrive at the times real
// playback would give.
class SilentClock : public QObject
{
    Q_OBJECT

public:
    // Monotonic nanoseconds from any origin.
    using Clock = std::function<std::int64_t()>;

    // A thread held up (a suspended machine, say) moves the voices on over
    // all the time it missed at its next tick: moving them on costs the same
    // however far they go.
    static constexpr int kTickMilliseconds = 5;

    // Without a clock, the system's monotonic clock.
    explicit SilentClock(Mixer& mixer, Clock clock = {}, QObject* parent = nullptr);

    // `behindNanoseconds`: how long the mixer has already gone unrendered,
    // caught up at the first tick.
    void Start(std::int64_t behindNanoseconds = 0);
    // Renders what is due by the clock; the timer calls it every tick.
    void Tick();

private:
    Mixer& m_mixer;
    Clock m_clock;
    QTimer m_timer;
    std::int64_t m_origin = 0;
    std::uint64_t m_rendered = 0;
};

} // namespace tarv::audio
