#include "sfx/pulseconnection.h"

#ifdef Q_OS_LINUX

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <QScopeGuard>

namespace tarv::audio {

namespace {

// Turns to connect, shared by every connection of the program.
class ConnectTurns
{
public:
    static ConnectTurns& Instance()
    {
        static ConnectTurns turns;
        return turns;
    }

    // Waits until `deadline` at most; false when no turn came (or waits
    // were abandoned).
    bool Take(std::chrono::steady_clock::time_point deadline, const std::atomic<bool>& abandoned)
    {
        const auto isAbandoned = [&abandoned] { return abandoned.load(std::memory_order_acquire); };
        std::unique_lock lock(m_mutex);
        const bool free = m_changed.wait_until(lock, deadline, [&] {
            return isAbandoned() || m_taken < PulseConnection::kConcurrentConnects;
        });
        if (!free || isAbandoned())
            return false;
        ++m_taken;
        return true;
    }

    void Give()
    {
        {
            const std::lock_guard lock(m_mutex);
            --m_taken;
        }
        m_changed.notify_one();
    }

    // Wakes every waiter, to see that waits are abandoned.
    void WakeAll()
    {
        {
            // A waiter that has just looked is waiting once this is held.
            const std::lock_guard lock(m_mutex);
        }
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_taken = 0;
};

} // namespace

void PulseConnection::AbandonWaits() noexcept
{
    s_abandoned.store(true, std::memory_order_release);
    ConnectTurns::Instance().WakeAll();
}

PulseConnection::PulseConnection()
    : m_loop(pa_threaded_mainloop_new())
{}

PulseConnection::~PulseConnection()
{
    if (m_loop == nullptr)
        return;
    if (m_context != nullptr) {
        const Lock lock(*this);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
    }
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
}

void PulseConnection::NameThread(const char* name)
{
    if (m_loop != nullptr)
        pa_threaded_mainloop_set_name(m_loop, name);
}

bool PulseConnection::Connect(const char* clientName, int milliseconds, Turn turn)
{
    if (m_loop == nullptr || pa_threaded_mainloop_start(m_loop) < 0)
        return false;
    QElapsedTimer clock;
    clock.start();
    ConnectTurns& turns = ConnectTurns::Instance();
    if (turn == Turn::Wait &&
        !turns.Take(std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds),
                    s_abandoned))
        return false;
    // Held until the server has taken the connection and answered it.
    const auto give = qScopeGuard([&turns, turn] {
        if (turn == Turn::Wait)
            turns.Give();
    });
    {
        const Lock lock(*this);
        m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), clientName);
        if (m_context == nullptr ||
            pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            return false;
    }
    return WaitFor(
        [this] {
            const pa_context_state_t state = pa_context_get_state(m_context);
            return state == PA_CONTEXT_READY ? 1 : PA_CONTEXT_IS_GOOD(state) ? 0 : -1;
        },
        std::max(0, milliseconds - static_cast<int>(clock.elapsed())));
}

bool PulseConnection::IsGood()
{
    const Lock lock(*this);
    return m_context != nullptr && PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context));
}

bool PulseConnection::Finish(pa_operation* operation, int milliseconds) const
{
    if (operation == nullptr)
        return false;
    const bool done = WaitFor(
        [operation] { return pa_operation_get_state(operation) == PA_OPERATION_RUNNING ? 0 : 1; },
        milliseconds);
    const Lock lock(*this);
    pa_operation_unref(operation);
    return done;
}

} // namespace tarv::audio

#endif
