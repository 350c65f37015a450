#pragma once

#include <QtGlobal>

#ifdef Q_OS_LINUX

#include <sys/types.h>

namespace tarv::audio {

// Real-time scheduling for the thread that feeds a sound device, so that
// busy programs never make it late: granted directly where this process may
// (root, or a real-time limit of its own), else asked of RealtimeKit on the
// system bus, as sound servers' clients do. Where neither grants it the
// thread stays as it was, without a word.
//
// The kernel kills a process whose real-time thread runs longer than the
// hard RLIMIT_RTTIME without blocking. The soft limit is kept below it, and
// the SIGXCPU that the soft limit raises drops every thread made real-time
// here to normal scheduling: a feed that ran away plays late, and the show
// goes on (RealtimeKeeper asks for real time again once it runs calmly).
class RealtimeThread
{
public:
    // Below the sound server's own threads (PulseAudio's: 5), which must
    // run first to ask for sound.
    static constexpr int kPriority = 3;
    // RealtimeKit grants only to a process whose real-time threads are
    // limited in the CPU time they may take without blocking.
    static constexpr unsigned kTimeLimitMicroseconds = 200000;
    // Far above what a feed takes between two waits (about a millisecond).
    static constexpr unsigned kSoftTimeLimitMicroseconds = 100000;

    // `thread`: the kernel's id of a thread of this process. True when it
    // runs in real time now (the answer of RealtimeKit is not waited for).
    static bool Request(pid_t thread);

    // Puts the calling thread under normal scheduling, and so the threads
    // it starts from then on: a thread started from a real-time one is
    // real-time too.
    static void RunNormally();

    // Whether `thread` runs in real time.
    static bool IsRealtime(pid_t thread);

    // How often a SIGXCPU has dropped `thread` (one made real-time here) to
    // normal scheduling so far.
    static unsigned Demotions(pid_t thread);
};

} // namespace tarv::audio

#endif
