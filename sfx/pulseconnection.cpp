#include "sfx/pulseconnection.h"

#ifdef Q_OS_LINUX

namespace tarv::audio {

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

bool PulseConnection::Connect(const char* clientName, int milliseconds)
{
    if (m_loop == nullptr || pa_threaded_mainloop_start(m_loop) < 0)
        return false;
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
        milliseconds);
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
