// A real-time thread that runs away, in a child process of its own: the
// kernel kills a process whose real-time thread runs past the hard limit on
// real-time CPU time without blocking.

#include "sfx/realtimethread.h"

#include <ctime>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using tarv::audio::RealtimeThread;

namespace {

constexpr int kDroppedToNormal = 0;
constexpr int kNotRealtime = 2;
constexpr int kStillRealtime = 3;

double ThreadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// In the child: spins in real time for twice the limit RealtimeKit sets.
int RunAway()
{
    const rlimit limit{RealtimeThread::kTimeLimitMicroseconds,
                       RealtimeThread::kTimeLimitMicroseconds};
    setrlimit(RLIMIT_RTTIME, &limit);
    int result = kNotRealtime;
    std::thread spinner([&result] {
        if (!RealtimeThread::Request(gettid()))
            return;
        const double start = ThreadCpuSeconds();
        while (ThreadCpuSeconds() - start < 2.0 * RealtimeThread::kTimeLimitMicroseconds / 1e6) {
        }
        result = RealtimeThread::IsRealtime(gettid()) ? kStillRealtime : kDroppedToNormal;
    });
    spinner.join();
    return result;
}

} // namespace

TEST(RealtimeThread, ARunawayThreadDropsToNormalSchedulingInsteadOfGettingTheProcessKilled)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        _exit(RunAway());
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_FALSE(WIFSIGNALED(status)) << "killed by signal " << WTERMSIG(status);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kNotRealtime)
        GTEST_SKIP() << "This system grants no real-time scheduling here.";
    EXPECT_EQ(WEXITSTATUS(status), kDroppedToNormal);
}
