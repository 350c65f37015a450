#include "sfx/realtimethread.h"

#ifdef Q_OS_LINUX

#include <QDBusConnection>
#include <QDBusMessage>
#include <sched.h>
#include <sys/resource.h>

namespace tarv::audio {

namespace {

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
        limit.rlim_cur = limit.rlim_max = RealtimeThread::kTimeLimitMicroseconds;
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
    sched_param parameters{};
    parameters.sched_priority = kPriority;
    // Threads it starts run in real time too.
    if (sched_setscheduler(thread, SCHED_FIFO, &parameters) == 0)
        return true;
    AskRealtimeKit(thread);
    return false;
}

bool RealtimeThread::IsRealtime(pid_t thread)
{
    const int policy = sched_getscheduler(thread);
    return policy >= 0 && (policy & ~SCHED_RESET_ON_FORK) != SCHED_OTHER &&
           (policy & ~SCHED_RESET_ON_FORK) != SCHED_BATCH &&
           (policy & ~SCHED_RESET_ON_FORK) != SCHED_IDLE;
}

} // namespace tarv::audio

#endif
