#include "sfx/realtimethread.h"

#ifdef Q_OS_LINUX

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <QDBusConnection>
#include <QDBusMessage>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tarv::audio {

namespace {

// The threads made real-time, for the SIGXCPU handler, which may read them
// as it interrupts any thread at any point: lock-free slots, 0 when free.
// A slot whose thread has ended is taken again. Beside each, how often the
// handler dropped it.
constexpr std::size_t kSlots = 32;
std::array<std::atomic<pid_t>, kSlots> g_realtimeThreads{};
std::array<std::atomic<unsigned>, kSlots> g_demotions{};

// Whether `thread` is a live thread of this process (a thread id is reused
// once its thread ends, possibly by another process).
bool OwnThread(pid_t thread) noexcept
{
    return thread > 0 && syscall(SYS_tgkill, getpid(), thread, 0) == 0;
}

void Remember(pid_t thread)
{
    for (std::atomic<pid_t>& slot : g_realtimeThreads) {
        if (slot.load() == thread)
            return;
    }
    for (std::size_t i = 0; i < kSlots; ++i) {
        pid_t held = g_realtimeThreads[i].load();
        if ((held == 0 || !OwnThread(held)) &&
            g_realtimeThreads[i].compare_exchange_strong(held, thread)) {
            g_demotions[i].store(0);
            return;
        }
    }
}

// Async-signal-safe: system calls and lock-free atomics only.
void DropToNormalScheduling(int) noexcept
{
    const int savedErrno = errno;
    const sched_param normal{};
    for (std::size_t i = 0; i < kSlots; ++i) {
        const pid_t thread = g_realtimeThreads[i].load();
        if (OwnThread(thread) && RealtimeThread::IsRealtime(thread) &&
            sched_setscheduler(thread, SCHED_OTHER, &normal) == 0)
            g_demotions[i].fetch_add(1);
    }
    errno = savedErrno;
}

// The handler goes in before the soft limit comes down: SIGXCPU's default
// action ends the process.
void GuardTheTimeLimit()
{
    static const bool handled = [] {
        using Action = struct sigaction;
        Action action{};
        action.sa_handler = &DropToNormalScheduling;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        return sigaction(SIGXCPU, &action, nullptr) == 0;
    }();
    if (!handled)
        return;
    rlimit limit{};
    if (getrlimit(RLIMIT_RTTIME, &limit) != 0)
        return;
    // The kernel raises the soft limit by a second at each SIGXCPU: it is
    // brought down again at each request.
    const rlim_t soft =
        limit.rlim_max == RLIM_INFINITY
            ? rlim_t{RealtimeThread::kSoftTimeLimitMicroseconds}
            : std::min<rlim_t>(RealtimeThread::kSoftTimeLimitMicroseconds, limit.rlim_max / 2);
    if (limit.rlim_cur > soft) {
        limit.rlim_cur = soft;
        setrlimit(RLIMIT_RTTIME, &limit);
    }
}

void AskRealtimeKit(pid_t thread)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    rlimit limit{};
    if (getrlimit(RLIMIT_RTTIME, &limit) != 0)
        return;
    if (limit.rlim_max == RLIM_INFINITY ||
        limit.rlim_max > RealtimeThread::kTimeLimitMicroseconds) {
        limit.rlim_max = RealtimeThread::kTimeLimitMicroseconds;
        limit.rlim_cur =
            std::min<rlim_t>(limit.rlim_cur, RealtimeThread::kSoftTimeLimitMicroseconds);
        if (setrlimit(RLIMIT_RTTIME, &limit) != 0)
            return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.RealtimeKit1"),
        QStringLiteral("/org/freedesktop/RealtimeKit1"),
        QStringLiteral("org.freedesktop.RealtimeKit1"), QStringLiteral("MakeThreadRealtime"));
    call << static_cast<quint64>(thread) << static_cast<quint32>(RealtimeThread::kPriority);
    // Not waited for: a bus that is slow to answer never holds up a sound.
    bus.send(call);
}

} // namespace

bool RealtimeThread::Request(pid_t thread)
{
    if (thread <= 0) // 0 would be the calling thread
        return false;
    GuardTheTimeLimit();
    Remember(thread);
    sched_param parameters{};
    parameters.sched_priority = kPriority;
    // Threads it starts run in real time too.
    if (sched_setscheduler(thread, SCHED_FIFO, &parameters) == 0)
        return true;
    AskRealtimeKit(thread);
    return false;
}

void RealtimeThread::RunNormally()
{
    const sched_param normal{};
    if (IsRealtime(gettid()))
        sched_setscheduler(0, SCHED_OTHER, &normal);
}

bool RealtimeThread::IsRealtime(pid_t thread)
{
    const int policy = sched_getscheduler(thread);
    return policy >= 0 && (policy & ~SCHED_RESET_ON_FORK) != SCHED_OTHER &&
           (policy & ~SCHED_RESET_ON_FORK) != SCHED_BATCH &&
           (policy & ~SCHED_RESET_ON_FORK) != SCHED_IDLE;
}

unsigned RealtimeThread::Demotions(pid_t thread)
{
    for (std::size_t i = 0; i < kSlots; ++i) {
        if (thread > 0 && g_realtimeThreads[i].load() == thread)
            return g_demotions[i].load();
    }
    return 0;
}

} // namespace tarv::audio

#endif
