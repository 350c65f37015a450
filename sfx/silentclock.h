#pragma once

#include <cstdint>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <vector>

namespace tarv::audio {

class Mixer;

// Stands in for a sound device when there is none: renders the mixer into a
// discarded buffer at the pace of a monotonic clock, so voices still end and
// finished notices still arrive at the times real playback would give.
class SilentClock : public QObject
{
    Q_OBJECT

public:
    static constexpr int kTickMilliseconds = 5;

    explicit SilentClock(Mixer& mixer, QObject* parent = nullptr);

    void Start();

private:
    void Tick();

    Mixer& m_mixer;
    QTimer m_timer;
    QElapsedTimer m_clock;
    std::uint64_t m_rendered = 0;
    std::vector<float> m_scratch;
};

} // namespace tarv::audio
