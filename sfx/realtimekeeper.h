#pragma once

#include <QtGlobal>

#ifdef Q_OS_LINUX

#include <cstdint>
#include <sys/types.h>

namespace tarv::audio {

// Gives a sound feed that a SIGXCPU dropped to normal scheduling its real
// time back once it runs calmly again: a feed plays for as long as its
// output stays open (a looping effect, say), and busy programs make it drop
// out at normal scheduling. A feed dropped again and again is left at
// normal scheduling, and the log says so once.
class RealtimeKeeper
{
public:
    // How long a dropped feed runs at normal scheduling, taking less than
    // half of a processor, before it asks for real time again.
    static constexpr std::int64_t kCalmNanoseconds = 3'000'000'000;
    // Drops this close after one another mean that the feed keeps running
    // away.
    static constexpr unsigned kMostDrops = 3;
    static constexpr std::int64_t kDropMemoryNanoseconds = 60'000'000'000;

    // Looks at the feed `thread` (the kernel's id) at `now` (steady
    // nanoseconds); cheap enough to be called at every turn of a watch.
    void Tend(pid_t thread, std::int64_t now);

private:
    void Restart(pid_t thread);

    pid_t m_thread = 0;
    unsigned m_drops = 0;       // as RealtimeThread counted them
    unsigned m_recentDrops = 0; // since m_firstRecentDrop
    std::int64_t m_firstRecentDrop = 0;
    std::int64_t m_calmSince = -1; // -1: in real time, or left at normal
    std::int64_t m_cpuAtCalmSince = 0;
    bool m_givenUp = false;
};

} // namespace tarv::audio

#endif
