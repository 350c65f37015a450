#include "sfx/realtimekeeper.h"

#ifdef Q_OS_LINUX

#include "sfx/realtimethread.h"

#include <ctime>
#include <QtDebug>

namespace tarv::audio {

namespace {

// The CPU time `thread` of this process has used (nanoseconds), -1 when it
// is gone: the kernel's clock of a thread, which glibc only names for a
// pthread handle.
std::int64_t ThreadCpuNanoseconds(pid_t thread)
{
    constexpr clockid_t kPerThreadSchedClock = 6; // CPUCLOCK_SCHED | CPUCLOCK_PERTHREAD_MASK
    const clockid_t clock =
        static_cast<clockid_t>((~static_cast<unsigned>(thread)) << 3) | kPerThreadSchedClock;
    timespec used{};
    if (clock_gettime(clock, &used) != 0)
        return -1;
    return std::int64_t{used.tv_sec} * 1'000'000'000 + used.tv_nsec;
}

} // namespace

void RealtimeKeeper::Restart(pid_t thread)
{
    *this = RealtimeKeeper();
    m_thread = thread;
    m_drops = RealtimeThread::Demotions(thread);
}

void RealtimeKeeper::Tend(pid_t thread, std::int64_t now)
{
    if (thread <= 0)
        return;
    // A new feed (its output opened again) asked for real time itself.
    if (thread != m_thread)
        Restart(thread);
    if (const unsigned drops = RealtimeThread::Demotions(thread); drops != m_drops) {
        m_drops = drops;
        if (m_recentDrops == 0 || now - m_firstRecentDrop > kDropMemoryNanoseconds) {
            m_recentDrops = 0;
            m_firstRecentDrop = now;
        }
        ++m_recentDrops;
        if (m_recentDrops >= kMostDrops) {
            m_calmSince = -1;
            if (!m_givenUp)
                qWarning("The sound feed kept running too long without a pause in real time: it "
                         "plays at normal scheduling from now on, where busy programs can make "
                         "the sound drop out.");
            m_givenUp = true;
            return;
        }
        m_calmSince = now;
        m_cpuAtCalmSince = ThreadCpuNanoseconds(thread);
        return;
    }
    if (m_givenUp || m_calmSince < 0 || now - m_calmSince < kCalmNanoseconds)
        return;
    const std::int64_t cpu = ThreadCpuNanoseconds(thread);
    if (cpu < 0)
        return;
    // Still running away: looked at again after another calm stretch.
    if ((cpu - m_cpuAtCalmSince) * 2 >= now - m_calmSince) {
        m_calmSince = now;
        m_cpuAtCalmSince = cpu;
        return;
    }
    m_calmSince = -1;
    if (!RealtimeThread::IsRealtime(thread))
        RealtimeThread::Request(thread);
}

} // namespace tarv::audio

#endif
