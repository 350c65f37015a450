#pragma once

#include <QtGlobal>

#ifdef Q_OS_LINUX

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <pulse/pulseaudio.h>
#include <QElapsedTimer>
#include <QThread>

namespace tarv::audio {

// One connection to the PulseAudio server on a main loop thread of its own,
// taken down under the loop's lock (never while the loop thread may be
// handling a packet for it). Waits are bounded: a server that hangs is not
// waited for long.
//
// The server takes new connections from a short queue (PulseAudio's holds
// five) and refuses those that find it full: many outputs opened at once on
// a busy machine, where the server is slow to take them, would be refused
// at once. So no more than kConcurrentConnects connections of this program
// are made at a time; the others wait their turn, within their own bound.
class PulseConnection
{
public:
    enum class Turn : std::uint8_t
    {
        Wait, // for one of the kConcurrentConnects turns
        Skip, // connects at once: the one connection that watches the server
    };

    static constexpr int kConnectMilliseconds = 5000;
    static constexpr int kConcurrentConnects = 3;
    // How often a wait looks for its answer: at first, and at the longest.
    static constexpr qint64 kFirstPollMicroseconds = 200;
    static constexpr qint64 kLongestPollMicroseconds = 10000;

    PulseConnection();
    ~PulseConnection();
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    // Names the loop's thread, as the system's tools list it; before
    // Connect.
    void NameThread(const char* name);
    // Connects and waits until the server has answered (its turn to
    // connect included); false when it cannot.
    bool Connect(const char* clientName, int milliseconds = kConnectMilliseconds,
                 Turn turn = Turn::Wait);
    // Whether the connection still stands.
    bool IsGood();

    pa_context* Context() const noexcept { return m_context; }

    // Holds the loop's lock: every call on the context and its streams is
    // made under it.
    class Lock
    {
    public:
        explicit Lock(const PulseConnection& connection)
            : m_loop(connection.m_loop)
        {
            pa_threaded_mainloop_lock(m_loop);
        }
        ~Lock() { pa_threaded_mainloop_unlock(m_loop); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        pa_threaded_mainloop* m_loop;
    };

    // From now on every wait ends at once, unfinished: the program quits
    // and waits for no server.
    static void AbandonWaits() noexcept;

    // Calls `state` under the lock (1 done, 0 not yet, -1 failed) until it
    // settles or `milliseconds` have passed; true when done.
    template <typename State>
    bool WaitFor(const State& state, int milliseconds = kConnectMilliseconds) const
    {
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            if (s_abandoned.load(std::memory_order_acquire))
                return false;
            int now = 0;
            {
                const Lock lock(*this);
                now = state();
            }
            if (now != 0)
                return now > 0;
            const qint64 waited = clock.nsecsElapsed() / 1000;
            if (waited > qint64{milliseconds} * 1000)
                return false;
            // A prompt answer is seen at once, a late one at most a tenth of
            // its time late: a server that hangs is not asked thousands of
            // times a second.
            QThread::usleep(static_cast<unsigned long>(
                std::clamp<qint64>(waited / 10, kFirstPollMicroseconds, kLongestPollMicroseconds)));
        }
    }

    // Waits for an operation started under the lock, then releases it.
    bool Finish(pa_operation* operation, int milliseconds = kConnectMilliseconds) const;

private:
    static inline std::atomic<bool> s_abandoned{false};

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
};

} // namespace tarv::audio

#endif
